#include "tally/report/answer_text.h"
#include "tally/report/html_escape.h"
#include "tally/report/html_sections.h"

#include <cstddef>

namespace mirunea::tally::report::html {

namespace {

void appendHeadRow(std::string& out, const std::vector<QuestionResult>& questions)
{
    out += "<thead><tr><th>コンピューター名</th><th>回答者</th><th>書き込み日時</th>";
    for (const QuestionResult& question : questions) {
        out += "<th data-slot=\"" + std::to_string(question.slot) + "\">問 " + std::to_string(question.slot);
        appendSpan(out, "column-question", question.text);
        out += "</th>";
    }
    out += "</tr></thead>\n";
}

void appendAnswerCell(std::string& out, const QuestionResult& question, const AnswerCell* answer)
{
    out += "<td class=\"answer\" data-slot=\"" + std::to_string(question.slot) + "\">";
    const std::string text = answer ? answerText(question, *answer) : std::string();
    appendTextOr(out, text, "<span class=\"none\">—</span>");
    out += "</td>";
}

} // namespace

void appendResponses(std::string& out, const Report& report)
{
    if (report.isPreview())
        return;
    out += "<section id=\"responses\">\n<h2>回答一覧</h2>\n";
    if (report.responses.empty()) {
        out += "<p>集計できた回答ファイルはありません。</p>\n</section>\n";
        return;
    }
    out += "<div class=\"scroll\"><table class=\"responses\">\n";
    appendHeadRow(out, report.questions);
    out += "<tbody>\n";
    for (const Response& response : report.responses) {
        out += "<tr class=\"response\" data-file=\"";
        appendEscapedHtml(out, response.fileName);
        out += "\">";
        appendElement(out, "td", "computer", response.computerName);
        appendElement(out, "td", "respondent", response.respondentName);
        appendElement(out, "td", "written", response.writtenAt);
        for (std::size_t q = 0; q < report.questions.size(); ++q)
            appendAnswerCell(out, report.questions[q], q < response.answers.size() ? &response.answers[q] : nullptr);
        out += "</tr>\n";
    }
    out += "</tbody></table></div>\n</section>\n";
}

} // namespace mirunea::tally::report::html
