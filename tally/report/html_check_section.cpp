#include "tally/report/html_escape.h"
#include "tally/report/html_sections.h"

#include <array>

namespace mirunea::tally::report::html {

namespace {

struct SeverityWords
{
    std::string_view className;
    std::string_view label;
};

SeverityWords wordsFor(Severity severity)
{
    switch (severity) {
    case Severity::Error:
        return {"error", "エラー"};
    case Severity::Warning:
        return {"warning", "警告"};
    case Severity::Note:
        return {"note", "お知らせ"};
    }
    return {"note", "お知らせ"};
}

void appendFindingCounts(std::string& out, const std::vector<Finding>& findings)
{
    std::array<int, 3> counts{};
    for (const Finding& finding : findings)
        ++counts[static_cast<std::size_t>(finding.severity)];
    out += "<p class=\"finding-counts\">";
    const std::array<Severity, 3> order{Severity::Error, Severity::Warning, Severity::Note};
    for (const Severity severity : order) {
        const SeverityWords words = wordsFor(severity);
        const int count = counts[static_cast<std::size_t>(severity)];
        out += "<span class=\"finding-count ";
        out += words.className;
        out += "\" data-count=\"" + std::to_string(count) + "\">";
        out += words.label;
        out += " " + std::to_string(count) + " 件</span> ";
    }
    out += "</p>\n";
}

void appendFindings(std::string& out, const std::vector<Finding>& findings)
{
    appendFindingCounts(out, findings);
    if (findings.empty()) {
        out += "<p class=\"no-findings\">気になる点は見つかりませんでした。</p>\n";
        return;
    }
    out += "<ul class=\"findings\">\n";
    for (const Finding& finding : findings) {
        const SeverityWords words = wordsFor(finding.severity);
        out += "<li class=\"finding ";
        out += words.className;
        out += "\" data-severity=\"";
        out += words.className;
        out += "\" data-line=\"" + std::to_string(finding.lineNumber) + "\">";
        out += "<span class=\"severity\">";
        out += words.label;
        out += "</span> <span class=\"where\">";
        out += finding.lineNumber > 0 ? std::to_string(finding.lineNumber) + " 行目" : std::string("ファイル全体");
        out += "</span> ";
        appendSpan(out, "message", finding.message);
        out += "</li>\n";
    }
    out += "</ul>\n";
}

void appendLines(std::string& out, const std::vector<QuestionnaireLine>& lines)
{
    if (lines.empty())
        return;
    out += "<h3>行ごとの読み取り</h3>\n<div class=\"scroll\"><table class=\"lines\">\n"
           "<thead><tr><th>行</th><th>内容</th><th>シートでの扱い</th><th>無視</th></tr></thead>\n<tbody>\n";
    for (const QuestionnaireLine& line : lines) {
        out += line.ignored ? "<tr class=\"line ignored\"" : "<tr class=\"line\"";
        out += " data-line=\"" + std::to_string(line.lineNumber) + "\" data-ignored=\""
            + (line.ignored ? "true" : "false") + "\">";
        out += "<td class=\"line-number\">" + std::to_string(line.lineNumber);
        if (line.lastLineNumber > line.lineNumber)
            out += "–" + std::to_string(line.lastLineNumber);
        out += "</td><td class=\"line-text\">";
        appendEscapedHtml(out, line.text);
        if (!line.asWritten.empty())
            appendSpan(out, "as-written", "書かれた内容: " + line.asWritten);
        out += "</td>";
        appendElement(out, "td", "meaning", line.meaning);
        out += "<td class=\"ignored-mark\">";
        out += line.ignored ? "無視" : "";
        out += "</td></tr>\n";
    }
    out += "</tbody></table></div>\n";
}

} // namespace

void appendQuestionnaireCheck(std::string& out, const QuestionnaireSection& section)
{
    out += "<section id=\"check\">\n<h2>data.txt の確認</h2>\n";
    out += section.encodingOk ? "<p class=\"encoding ok\" data-ok=\"true\">"
                              : "<p class=\"encoding bad\" data-ok=\"false\">";
    out += "文字コード: ";
    appendEscapedHtml(out, section.encodingVerdict);
    out += "</p>\n";
    appendFindings(out, section.findings);
    appendLines(out, section.lines);
    out += "</section>\n";
}

} // namespace mirunea::tally::report::html
