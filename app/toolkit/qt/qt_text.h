#pragma once

#include <QString>

#include <string>

// Text at the edge between the program's Shift-JIS strings and Qt.
namespace mirunea::qt {

[[nodiscard]] QString toQString(const std::string& sjis);
[[nodiscard]] std::string toSjis(const QString& text);

// Questionnaire texts as the widgets show them: at most this many characters.
// Qt lays out a label's whole text on every change, so a 200 MB title would
// hang the window; the questionnaire itself keeps every byte.
inline constexpr qsizetype kMaxShownCharacters = 4096;
[[nodiscard]] QString toShownQString(const std::string& sjis);

// "&x" shows "x" (the access key), "&&" shows "&"; a trailing "&" is dropped.
[[nodiscard]] QString withoutAccessKeyMarks(const QString& text);

// Rich text that shows a caption on one line with its access key underlined,
// for labels, whose access keys do nothing.
[[nodiscard]] QString accessKeyRichText(const QString& text);

// Line breaks in typed or pasted text become one space each (CR LF counts once);
// so does every other control character below U+0020 except tab.
[[nodiscard]] QString withoutLineBreaks(const QString& text);

} // namespace mirunea::qt
