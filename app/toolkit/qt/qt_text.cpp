#include "app/toolkit/qt/qt_text.h"

#include "app/text/cp932.h"
#include "app/toolkit/text_rules.h"
#include "app/toolkit/window_rules.h"

namespace mirunea::qt {

QString toQString(const std::string& sjis)
{
    return QString::fromStdU16String(cp932::decode(sjis));
}

QString toShownQString(const std::string& sjis)
{
    return QString::fromStdU16String(toolkit::rules::shownText(sjis));
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
    return QString::fromStdU16String(toolkit::rules::withoutLineBreaks(text.toStdU16String()));
}

} // namespace mirunea::qt
