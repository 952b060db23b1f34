#include "app/toolkit/win32/accessibility.h"

#include "app/toolkit/window_rules.h"

#include <oleacc.h>

#include <atomic>
#include <map>
#include <new>

namespace mirunea::win32 {

namespace {

// {618736E0-3C3D-11CF-810C-00AA00389B71}
constexpr IID kIidAccessible = {0x618736e0, 0x3c3d, 0x11cf, {0x81, 0x0c, 0x00, 0xaa, 0x00, 0x38, 0x9b, 0x71}};

// The functions of oleacc.dll and oleaut32.dll, looked up on first use.
struct OleFunctions
{
    using CreateStd = HRESULT(WINAPI*)(HWND, LONG, REFIID, void**);
    using Lresult = LRESULT(WINAPI*)(REFIID, WPARAM, LPUNKNOWN);
    using AllocString = BSTR(WINAPI*)(const OLECHAR*);
    CreateStd createStdAccessibleObject = nullptr;
    Lresult lresultFromObject = nullptr;
    AllocString sysAllocString = nullptr;

    [[nodiscard]] bool available() const { return createStdAccessibleObject && lresultFromObject && sysAllocString; }
};

template<class Function>
[[nodiscard]] Function functionOf(HMODULE module, const char* name)
{
    const FARPROC found = module ? ::GetProcAddress(module, name) : nullptr;
    return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(found));
}

const OleFunctions& ole()
{
    static const OleFunctions functions = [] {
        OleFunctions loaded;
        const HMODULE oleacc = ::LoadLibraryW(L"oleacc.dll");
        const HMODULE oleaut = ::LoadLibraryW(L"oleaut32.dll");
        loaded.createStdAccessibleObject = functionOf<OleFunctions::CreateStd>(oleacc, "CreateStdAccessibleObject");
        loaded.lresultFromObject = functionOf<OleFunctions::Lresult>(oleacc, "LresultFromObject");
        loaded.sysAllocString = functionOf<OleFunctions::AllocString>(oleaut, "SysAllocString");
        return loaded;
    }();
    return functions;
}

[[nodiscard]] bool isSelf(const VARIANT& child)
{
    return child.vt == VT_I4 && child.lVal == CHILDID_SELF;
}

[[nodiscard]] long childIdOf(const VARIANT& child)
{
    return child.vt == VT_I4 ? child.lVal : -1;
}

// COM interfaces have no virtual destructor: the object deletes itself in
// Release, never through an interface pointer.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wnon-virtual-dtor"

// The control's client object. It outlives its window when a reader still
// holds it; from then on every call fails as disconnected.
class AccessibleObject final : public IAccessible
{
public:
    AccessibleObject(HWND window, const AccessibleSource& source, IAccessible* standard)
        : m_window(window)
        , m_source(&source)
        , m_standard(standard)
    {
    }

    void disconnect()
    {
        m_source = nullptr;
        if (m_standard) {
            m_standard->Release();
            m_standard = nullptr;
        }
    }

    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override
    {
        if (!object)
            return E_POINTER;
        if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDispatch) || IsEqualIID(iid, kIidAccessible)) {
            *object = static_cast<IAccessible*>(this);
            AddRef();
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++m_references; }
    ULONG STDMETHODCALLTYPE Release() override
    {
        const ULONG left = --m_references;
        if (left == 0) {
            disconnect();
            delete this;
        }
        return left;
    }

    // IDispatch: not offered; readers use the IAccessible methods.
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override
    {
        if (count)
            *count = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override
    {
        return E_NOTIMPL;
    }

    // IAccessible: what the control knows itself.
    HRESULT STDMETHODCALLTYPE get_accChildCount(long* count) override
    {
        if (!count)
            return E_POINTER;
        if (!m_source)
            return RPC_E_DISCONNECTED;
        *count = m_source->accessibleChildCount();
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_accChild(VARIANT child, IDispatch** dispatch) override
    {
        if (!dispatch)
            return E_POINTER;
        *dispatch = nullptr;
        if (!m_source)
            return RPC_E_DISCONNECTED;
        // The items are simple elements, addressed by their number.
        return isChild(child) ? S_FALSE : E_INVALIDARG;
    }
    HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR* name) override
    {
        if (name)
            *name = nullptr;
        if (const HRESULT refused = refusalOf(name, child); refused != S_OK)
            return refused;
        const std::wstring text = m_source->accessibleName(childIdOf(child));
        if (text.empty())
            return S_FALSE;
        *name = ole().sysAllocString(text.c_str());
        return *name ? S_OK : E_OUTOFMEMORY;
    }
    HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT* role) override
    {
        if (const HRESULT refused = refusalOf(role, child); refused != S_OK)
            return refused;
        role->vt = VT_I4;
        role->lVal = m_source->accessibleRole(childIdOf(child));
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_accState(VARIANT child, VARIANT* state) override
    {
        if (const HRESULT refused = refusalOf(state, child); refused != S_OK)
            return refused;
        long value = m_source->accessibleState(childIdOf(child));
        if (!::IsWindowVisible(m_window))
            value |= STATE_SYSTEM_INVISIBLE;
        if (!::IsWindowEnabled(m_window))
            value |= STATE_SYSTEM_UNAVAILABLE;
        if (isSelf(child) && ::GetFocus() == m_window)
            value |= STATE_SYSTEM_FOCUSED;
        state->vt = VT_I4;
        state->lVal = value;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE accLocation(long* left, long* top, long* width, long* height, VARIANT child) override
    {
        if (!m_source)
            return RPC_E_DISCONNECTED;
        if (isSelf(child))
            return m_standard->accLocation(left, top, width, height, child);
        RECT place{};
        if (!left || !top || !width || !height)
            return E_POINTER;
        if (!isChild(child) || !m_source->accessibleChildPlace(child.lVal, place))
            return E_INVALIDARG;
        *left = place.left;
        *top = place.top;
        *width = place.right - place.left;
        *height = place.bottom - place.top;
        return S_OK;
    }

    // The rest as the standard object of the window has it.
    HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** parent) override
    {
        return m_standard ? m_standard->get_accParent(parent) : RPC_E_DISCONNECTED;
    }
    HRESULT STDMETHODCALLTYPE get_accValue(VARIANT child, BSTR* value) override
    {
        return forSelf(child, [&] { return m_standard->get_accValue(child, value); });
    }
    HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT child, BSTR* text) override
    {
        return forSelf(child, [&] { return m_standard->get_accDescription(child, text); });
    }
    HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT child, BSTR* text) override
    {
        return forSelf(child, [&] { return m_standard->get_accHelp(child, text); });
    }
    HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* file, VARIANT child, long* topic) override
    {
        return forSelf(child, [&] { return m_standard->get_accHelpTopic(file, child, topic); });
    }
    HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT child, BSTR* shortcut) override
    {
        return forSelf(child, [&] { return m_standard->get_accKeyboardShortcut(child, shortcut); });
    }
    HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* focus) override
    {
        return m_standard ? m_standard->get_accFocus(focus) : RPC_E_DISCONNECTED;
    }
    HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* selection) override
    {
        return m_standard ? m_standard->get_accSelection(selection) : RPC_E_DISCONNECTED;
    }
    HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT child, BSTR* action) override
    {
        return forSelf(child, [&] { return m_standard->get_accDefaultAction(child, action); });
    }
    HRESULT STDMETHODCALLTYPE accSelect(long flags, VARIANT child) override
    {
        return forSelf(child, [&] { return m_standard->accSelect(flags, child); });
    }
    HRESULT STDMETHODCALLTYPE accNavigate(long direction, VARIANT start, VARIANT* end) override
    {
        return forSelf(start, [&] { return m_standard->accNavigate(direction, start, end); });
    }
    HRESULT STDMETHODCALLTYPE accHitTest(long x, long y, VARIANT* child) override
    {
        return m_standard ? m_standard->accHitTest(x, y, child) : RPC_E_DISCONNECTED;
    }
    HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT child) override
    {
        return forSelf(child, [&] { return m_standard->accDoDefaultAction(child); });
    }
    HRESULT STDMETHODCALLTYPE put_accName(VARIANT, BSTR) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_accValue(VARIANT child, BSTR value) override
    {
        return forSelf(child, [&] { return m_standard->put_accValue(child, value); });
    }

private:
    ~AccessibleObject() = default;

    [[nodiscard]] bool isChild(const VARIANT& child) const
    {
        return child.vt == VT_I4 && child.lVal >= 1 && child.lVal <= m_source->accessibleChildCount();
    }

    // What a question about the object or one of its items is refused for, in
    // this order: nowhere to put the answer, the control gone, no such item.
    [[nodiscard]] HRESULT refusalOf(const void* answer, const VARIANT& child) const
    {
        if (!answer)
            return E_POINTER;
        if (!m_source)
            return RPC_E_DISCONNECTED;
        if (!isSelf(child) && !isChild(child))
            return E_INVALIDARG;
        return S_OK;
    }

    template<class Call>
    HRESULT forSelf(const VARIANT& child, Call call)
    {
        if (!m_standard)
            return RPC_E_DISCONNECTED;
        if (!isSelf(child))
            return isChild(child) ? DISP_E_MEMBERNOTFOUND : E_INVALIDARG;
        return call();
    }

    std::atomic<ULONG> m_references{1};
    HWND m_window;
    const AccessibleSource* m_source;
    IAccessible* m_standard;
};

#pragma GCC diagnostic pop

// The subclassed windows, kept in the process rather than in window
// properties: under Wine each property is a round trip to the server, and
// the window has some seventy controls to start with.
struct Subclass
{
    WNDPROC original;
    const AccessibleSource* source;
    AccessibleObject* object;
};
std::map<HWND, Subclass>& subclasses()
{
    static std::map<HWND, Subclass> windows;
    return windows;
}

LRESULT CALLBACK accessibleProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    const auto found = subclasses().find(window);
    if (found == subclasses().end())
        return ::DefWindowProcW(window, message, wParam, lParam);
    Subclass& subclass = found->second;
    const WNDPROC original = subclass.original;
    if (message == WM_GETOBJECT && static_cast<LONG>(lParam) == OBJID_CLIENT) {
        if (!subclass.object && ole().available()) {
            IAccessible* standard = nullptr;
            if (SUCCEEDED(ole().createStdAccessibleObject(window, OBJID_CLIENT, kIidAccessible,
                                                          reinterpret_cast<void**>(&standard)))
                && standard) {
                subclass.object = new (std::nothrow) AccessibleObject(window, *subclass.source, standard);
                if (!subclass.object)
                    standard->Release();
            }
        }
        if (subclass.object)
            return ole().lresultFromObject(kIidAccessible, wParam, subclass.object);
    } else if (message == WM_NCDESTROY) {
        // Readers may still hold the object: it stays, cut off from the control.
        if (subclass.object) {
            subclass.object->disconnect();
            subclass.object->Release();
        }
        subclasses().erase(found);
        ::SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(original));
    }
    return ::CallWindowProcW(original, window, message, wParam, lParam);
}

} // namespace

void makeAccessible(HWND window, const AccessibleSource& source)
{
    Subclass& subclass = subclasses()[window];
    subclass = {nullptr, &source, nullptr};
    subclass.original = reinterpret_cast<WNDPROC>(
        ::SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&accessibleProc)));
}

std::wstring withoutAccessKeyMarks(const std::wstring& caption)
{
    const std::u16string shown = toolkit::rules::parseCaption(std::u16string(caption.begin(), caption.end())).shown;
    return std::wstring(shown.begin(), shown.end());
}

} // namespace mirunea::win32
