#pragma once

#include <utility>

// A handle of the platform (a descriptor, a HANDLE, a search) owned for a
// scope and let go on the way out, whatever way that is. Traits name the
// handle's type, the value that stands for none, and how one is let go.
namespace mirunea {

template<class Traits>
class ScopedHandle
{
public:
    using Handle = typename Traits::Handle;

    explicit ScopedHandle(Handle handle)
        : m_handle(handle)
    {
    }
    ScopedHandle(const ScopedHandle&) = delete;
    ScopedHandle& operator=(const ScopedHandle&) = delete;
    ~ScopedHandle()
    {
        if (m_handle != Traits::none())
            Traits::close(m_handle);
    }

    [[nodiscard]] Handle get() const { return m_handle; }
    // Hands the handle on: it is no longer let go here.
    [[nodiscard]] Handle release() noexcept { return std::exchange(m_handle, Traits::none()); }

private:
    Handle m_handle;
};

} // namespace mirunea
