#pragma once

#include <windows.h>

#include <string>

namespace mirunea::win32 {

enum class BoxKind {
    Error,          // stop icon
    CentredMessage, // no icon, centred on the screen
};

// A modal message box with one "OK" button (also Enter and Escape); returns
// when it is closed.
void showModalBox(HWND owner, const std::wstring& caption, const std::wstring& text, BoxKind kind);

} // namespace mirunea::win32
