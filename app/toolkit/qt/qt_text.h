#pragma once

#include <QString>

#include <string>

// Text at the edge between the program's Shift-JIS strings and Qt.
namespace mirunea::qt {

[[nodiscard]] QString toQString(const std::string& sjis);
[[nodiscard]] std::string toSjis(const QString& text);

// Questionnaire texts as the widgets show them: cut as the text rules say.
[[nodiscard]] QString toShownQString(const std::string& sjis);

// "&x" shows "x" (the access key), "&&" shows "&"; a trailing "&" is dropped.
[[nodiscard]] QString withoutAccessKeyMarks(const QString& text);

// Rich text that shows a caption on one line with its access key underlined,
// for labels, whose access keys do nothing.
[[nodiscard]] QString accessKeyRichText(const QString& text);

// The text rules' one line of typed or pasted text.
[[nodiscard]] QString withoutLineBreaks(const QString& text);

} // namespace mirunea::qt
