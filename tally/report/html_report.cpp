#include "tally/report/html_report.h"

#include "tally/report/html_escape.h"
#include "tally/report/html_sections.h"

namespace mirunea::tally::report {

namespace {

// Nothing may run and nothing may be fetched: the page shows pupils' texts.
// Inline styles (the <style> element and the bars' SVG) are all it needs.
constexpr std::string_view kHead = R"(<!DOCTYPE html>
<html lang="ja">
<head>
<meta charset="utf-8">
<meta http-equiv="Content-Security-Policy" content="default-src 'none'; style-src 'unsafe-inline'; img-src data:; base-uri 'none'; form-action 'none'">
<meta name="referrer" content="no-referrer">
<meta name="viewport" content="width=device-width, initial-scale=1">
)";

void appendHeader(std::string& out, const Report& report)
{
    out += "<header>\n<p class=\"kicker\">アンケート集計</p>\n<h1 class=\"title\">";
    html::appendTextOr(out, report.title, "（タイトルなし）");
    out += "</h1>\n";
    if (!report.description.empty()) {
        html::appendElement(out, "p", "description", report.description);
        out += "\n";
    }
    out += "<dl class=\"run\">\n<dt>フォルダー</dt>";
    html::appendElement(out, "dd", "folder", report.folderName);
    out += "\n<dt>集計日時</dt>";
    html::appendElement(out, "dd", "run-at", report.runAt);
    out += "\n<dt>回答ファイル</dt><dd class=\"counted\" data-count=\"" + std::to_string(report.responses.size())
        + "\">";
    out += report.isPreview() ? std::string("まだありません") : std::to_string(report.responses.size()) + " 件を集計";
    if (!report.problems.empty())
        out += "（ほかに集計できないファイル " + std::to_string(report.problems.size()) + " 件）";
    out += "</dd>\n</dl>\n";
    if (report.isPreview()) {
        out += "<p class=\"preview-notice\">このフォルダーにはまだ回答ファイル（.ans）がありません。"
               "これは授業の前の確認用の表示です。設問は生徒の画面に出る順に、選択肢とともに示しています。</p>\n";
    }
    out += "<nav><a href=\"#check\">data.txt の確認</a> <a href=\"#questions\">設問</a>";
    if (!report.isPreview())
        out += " <a href=\"#responses\">回答一覧</a>";
    if (!report.problems.empty())
        out += " <a href=\"#problems\">集計できないファイル</a>";
    if (!report.notes.empty())
        out += " <a href=\"#notes\">お知らせ</a>";
    out += "</nav>\n</header>\n";
}

void appendFileMessages(std::string& out, const std::vector<FileMessage>& messages, std::string_view id,
                        std::string_view heading, std::string_view rowClass)
{
    if (messages.empty())
        return;
    out += "<section id=\"" + std::string(id) + "\">\n<h2>";
    out += heading;
    out +=
        "</h2>\n<div class=\"scroll\"><table class=\"files\">\n<thead><tr><th>ファイル</th><th>内容</th></tr></thead>\n"
        "<tbody>\n";
    for (const FileMessage& message : messages) {
        out += "<tr class=\"";
        out += rowClass;
        out += "\" data-file=\"";
        appendEscapedHtml(out, message.fileName);
        out += "\"><td class=\"file\">";
        html::appendTextOr(out, message.fileName, "（フォルダー全体）");
        out += "</td>";
        html::appendElement(out, "td", "message", message.message);
        out += "</tr>\n";
    }
    out += "</tbody></table></div>\n</section>\n";
}

} // namespace

std::string renderHtmlReport(const Report& report)
{
    std::string out;
    out.reserve(16384);
    out += kHead;
    out += "<title>";
    html::appendTextOr(out, report.title, "アンケート");
    out += report.isPreview() ? " — 配布前の確認" : " — 集計";
    out += "</title>\n<style>\n";
    out += html::style();
    out += "</style>\n</head>\n<body>\n";
    appendHeader(out, report);
    out += "<main>\n";
    html::appendQuestionnaireCheck(out, report.questionnaire);
    html::appendQuestions(out, report);
    html::appendResponses(out, report);
    appendFileMessages(out, report.problems, "problems", "集計に入れなかったファイル", "problem");
    appendFileMessages(out, report.notes, "notes", "お知らせ", "note");
    out += "</main>\n</body>\n</html>\n";
    return out;
}

namespace html {

void appendElement(std::string& out, std::string_view tag, std::string_view className, std::string_view text)
{
    out.append("<").append(tag).append(" class=\"").append(className).append("\">");
    appendEscapedHtml(out, text);
    out.append("</").append(tag).append(">");
}

void appendSpan(std::string& out, std::string_view className, std::string_view text)
{
    appendElement(out, "span", className, text);
}

void appendTextOr(std::string& out, std::string_view text, std::string_view placeholder)
{
    if (text.empty())
        out += placeholder;
    else
        appendEscapedHtml(out, text);
}

} // namespace html

} // namespace mirunea::tally::report
