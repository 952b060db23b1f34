#include "app/toolkit/win32/win32_text.h"

#include "app/toolkit/text_rules.h"
#include "app/toolkit/window_rules.h"

#include "app/text/cp932.h"

#include <string_view>
#include <vector>

namespace mirunea::win32 {

namespace {

[[nodiscard]] std::wstring wideOf(std::u16string_view text)
{
    return std::wstring(text.begin(), text.end());
}

[[nodiscard]] std::u16string utf16Of(std::wstring_view text)
{
    return std::u16string(text.begin(), text.end());
}

} // namespace

std::wstring toWide(const std::string& sjis)
{
    return wideOf(cp932::decode(sjis));
}

std::wstring toShownWide(const std::string& sjis)
{
    return wideOf(toolkit::rules::shownText(sjis));
}

std::string toSjis(const std::wstring& text)
{
    return cp932::encode(utf16Of(text));
}

std::wstring withoutLineBreaks(const std::wstring& text)
{
    return wideOf(toolkit::rules::withoutLineBreaks(utf16Of(text)));
}

wchar_t accessKeyOf(const std::wstring& caption)
{
    return static_cast<wchar_t>(toolkit::rules::parseCaption(utf16Of(caption)).accessKey);
}

std::wstring windowText(HWND window)
{
    const int length = ::GetWindowTextLengthW(window);
    std::vector<wchar_t> buffer(static_cast<std::size_t>(length) + 1, L'\0');
    const int copied = ::GetWindowTextW(window, buffer.data(), length + 1);
    return std::wstring(buffer.data(), static_cast<std::size_t>(copied > 0 ? copied : 0));
}

} // namespace mirunea::win32
