#include "app/toolkit/win32/win32_text.h"

#include "app/toolkit/window_rules.h"

#include "app/text/cp932.h"

#include <vector>

namespace mirunea::win32 {

std::wstring toWide(const std::string& sjis)
{
    const std::u16string text = cp932::decode(sjis);
    return std::wstring(text.begin(), text.end());
}

std::string toSjis(const std::wstring& text)
{
    return cp932::encode(std::u16string(text.begin(), text.end()));
}

std::wstring withoutLineBreaks(std::wstring text)
{
    std::wstring oneLine;
    oneLine.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == L'\r' && i + 1 < text.size() && text[i + 1] == L'\n')
            continue; // CR LF is one break
        // Other control characters but tab (NUL, Ctrl-Z) would end the line
        // for a line-oriented reader of the answer file, as breaks would.
        oneLine += text[i] < 0x20 && text[i] != L'\t' ? L' ' : text[i];
    }
    return oneLine;
}

wchar_t accessKeyOf(const std::wstring& caption)
{
    const std::u16string text(caption.begin(), caption.end());
    return static_cast<wchar_t>(toolkit::rules::parseCaption(text).accessKey);
}

std::wstring windowText(HWND window)
{
    const int length = ::GetWindowTextLengthW(window);
    std::vector<wchar_t> buffer(static_cast<std::size_t>(length) + 1, L'\0');
    const int copied = ::GetWindowTextW(window, buffer.data(), length + 1);
    return std::wstring(buffer.data(), static_cast<std::size_t>(copied > 0 ? copied : 0));
}

} // namespace mirunea::win32
