#include "app/toolkit/qt/qt_text.h"

#include "app/cp932.h"

namespace mirunea::qt {

QString toQString(const std::string& sjis)
{
    return QString::fromStdU16String(cp932::decode(sjis));
}

QString toShownQString(const std::string& sjis)
{
    // A character takes one or two bytes, so twice the limit in bytes gives
    // enough characters; a double-byte character cut in two at the end lies
    // beyond the limit and is dropped with the rest.
    const auto prefixBytes = static_cast<std::size_t>(2 * kMaxShownCharacters);
    if (sjis.size() <= prefixBytes)
        return toQString(sjis);
    return toQString(sjis.substr(0, prefixBytes)).left(kMaxShownCharacters);
}

std::string toSjis(const QString& text)
{
    return cp932::encode(text.toStdU16String());
}

QString withoutAccessKeyMarks(const QString& text)
{
    QString shown;
    shown.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == u'&') {
            if (++i >= text.size())
                break;
        }
        shown += text[i];
    }
    return shown;
}

QString accessKeyRichText(const QString& text)
{
    QString html = QStringLiteral("<span style=\"white-space:pre\">");
    bool keyMarked = false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        QChar c = text[i];
        bool underline = false;
        if (c == u'&') {
            if (++i >= text.size())
                break;
            c = text[i];
            // Only the first single "&" marks a key, as in the other controls.
            underline = c != u'&' && !keyMarked;
            keyMarked = keyMarked || underline;
        }
        const QString escaped = QString(c).toHtmlEscaped();
        html += underline ? QStringLiteral("<u>") + escaped + QStringLiteral("</u>") : escaped;
    }
    html += QStringLiteral("</span>");
    return html;
}

QString withoutLineBreaks(const QString& text)
{
    QString oneLine = text;
    oneLine.replace(QStringLiteral("\r\n"), QStringLiteral(" "));
    // Any other control character but tab, NUL and Ctrl-Z included, would end
    // the line for a line-oriented reader of the answer file just the same.
    for (QChar& c : oneLine) {
        if (c.unicode() < 0x20 && c != u'\t')
            c = u' ';
    }
    return oneLine;
}

} // namespace mirunea::qt
