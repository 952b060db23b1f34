#include "app/toolkit/qt/qt_text.h"

#include "app/text/cp932.h"
#include "app/toolkit/window_rules.h"

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
    return QString::fromStdU16String(toolkit::rules::parseCaption(text.toStdU16String()).shown);
}

QString accessKeyRichText(const QString& text)
{
    const toolkit::rules::Caption caption = toolkit::rules::parseCaption(text.toStdU16String());
    const QString shown = QString::fromStdU16String(caption.shown);
    if (!caption.keyPosition)
        return QStringLiteral("<span style=\"white-space:pre\">") + shown.toHtmlEscaped() + QStringLiteral("</span>");
    const auto at = static_cast<qsizetype>(*caption.keyPosition);
    return QStringLiteral("<span style=\"white-space:pre\">") + shown.left(at).toHtmlEscaped() + QStringLiteral("<u>")
        + shown.mid(at, 1).toHtmlEscaped() + QStringLiteral("</u>") + shown.mid(at + 1).toHtmlEscaped()
        + QStringLiteral("</span>");
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
