#include "tally/report/answer_text.h"
#include "tally/report/html_escape.h"
#include "tally/report/html_sections.h"
#include "tally/report/percentage.h"

namespace mirunea::tally::report::html {

namespace {

void appendQuestionHeading(std::string& out, const QuestionResult& question)
{
    out += "<h3><span class=\"slot\">問 " + std::to_string(question.slot) + "</span> <span class=\"kind\">";
    out += kindNames(question.kind).label;
    out += "</span> <span class=\"question-text\">";
    appendTextOr(out, question.text, "（設問文なし）");
    out += "</span></h3>\n";
}

// One bar: the label and the figures as text, then the bar as inline SVG,
// which prints without the browser's "background graphics" option.
void appendBarRow(std::string& out, std::string_view rowClass, int choiceNumber, std::string_view label, int count,
                  int total)
{
    const std::string percent = percentText(count, total);
    out += "<li class=\"bar-row ";
    out += rowClass;
    out += "\"";
    if (choiceNumber > 0)
        out += " data-choice=\"" + std::to_string(choiceNumber) + "\"";
    out += " data-count=\"" + std::to_string(count) + "\" data-percent=\"" + percent + "\">";
    out += "<span class=\"label\">";
    appendTextOr(out, label, "（空の選択肢）");
    out += "</span> <span class=\"figures\"><span class=\"count\">" + std::to_string(count)
        + "</span> 人（<span class=\"percent\">" + percent + "%</span>）</span>";
    out += "<svg class=\"bar\" viewBox=\"0 0 1000 10\" preserveAspectRatio=\"none\" aria-hidden=\"true\">"
           "<rect class=\"track\" width=\"1000\" height=\"10\"/><rect class=\"fill\" width=\""
        + std::to_string(perMille(count, total)) + "\" height=\"10\"/></svg></li>\n";
}

void appendChoiceChart(std::string& out, const QuestionResult& question)
{
    const bool multiple = question.kind == QuestionKind::MultipleChoice;
    out += "<p class=\"base\" data-respondents=\"" + std::to_string(question.respondents) + "\">回答者 "
        + std::to_string(question.respondents) + " 人";
    out += multiple ? "。いくつでも選べる設問です。割合は回答者のうち選んだ人の割合です。</p>\n"
                    : "。割合は回答者に対する割合です。</p>\n";
    out += "<ol class=\"chart\">\n";
    int number = 0;
    for (const ChoiceCount& choice : question.choices)
        appendBarRow(out, "choice", ++number, choice.text, choice.count, question.respondents);
    appendBarRow(out, "no-answer", 0, multiple ? "どれも選ばなかった" : "無回答", question.noAnswer,
                 question.respondents);
    out += "</ol>\n";
}

void appendFreeTexts(std::string& out, const QuestionResult& question)
{
    out += "<p class=\"base\"><span class=\"text-count\" data-count=\"" + std::to_string(question.freeTexts.size())
        + "\">記入 " + std::to_string(question.freeTexts.size())
        + " 人</span>、<span class=\"empty-count\" data-count=\"" + std::to_string(question.emptyTexts) + "\">空欄 "
        + std::to_string(question.emptyTexts) + " 人</span></p>\n";
    if (question.freeTexts.empty())
        return;
    out += "<ul class=\"free-texts\">\n";
    for (const FreeTextAnswer& answer : question.freeTexts) {
        out += "<li class=\"free-text\">";
        appendElement(out, "p", "answer-text", answer.text);
        out += "<p class=\"by\"><span class=\"respondent\">";
        appendTextOr(out, answer.respondentName, "（名前なし）");
        out += "</span> <span class=\"computer\">";
        appendTextOr(out, answer.computerName, "（コンピューター名なし）");
        out += "</span></p></li>\n";
    }
    out += "</ul>\n";
}

// The question as the pupils' sheet shows it: choices with the marks of
// their controls, or an empty field.
void appendPreview(std::string& out, const QuestionResult& question)
{
    if (question.kind == QuestionKind::FreeText) {
        out += "<div class=\"preview-field\" aria-label=\"1 行の記入欄\"></div>\n";
        return;
    }
    if (question.choices.empty()) {
        out += "<p class=\"preview-empty\">選択肢がありません。生徒は何も選べません。</p>\n";
        return;
    }
    const std::string_view mark = question.kind == QuestionKind::SingleChoice ? "○" : "□";
    out += "<ul class=\"preview-choices\">\n";
    int number = 0;
    for (const ChoiceCount& choice : question.choices) {
        out += "<li class=\"preview-choice\" data-choice=\"" + std::to_string(++number) + "\"><span class=\"mark\">";
        out += mark;
        out += "</span> ";
        appendSpan(out, "label", choice.text);
        out += "</li>\n";
    }
    out += "</ul>\n";
}

void appendSheetTop(std::string& out, const Report& report)
{
    out += "<div class=\"sheet-top\">\n";
    if (report.namePrompt.empty()) {
        out += "<p class=\"no-name-field\">名前の欄はありません（data.txt の 3 行目が空です）。</p>\n";
    } else {
        out += "<p class=\"name-field\">";
        appendSpan(out, "name-prompt", report.namePrompt);
        out += " <span class=\"preview-field inline\"></span></p>\n";
    }
    out += "</div>\n";
}

} // namespace

void appendQuestions(std::string& out, const Report& report)
{
    const bool preview = report.isPreview();
    out += "<section id=\"questions\">\n<h2>";
    out += preview ? "設問（生徒の画面での見え方）" : "設問ごとの集計";
    out += "</h2>\n";
    if (preview)
        appendSheetTop(out, report);
    if (report.questions.empty())
        out += "<p class=\"no-questions\">設問が 1 つもありません。</p>\n";
    for (const QuestionResult& question : report.questions) {
        out += "<article class=\"question ";
        out += kindNames(question.kind).cssClass;
        out += "\" id=\"q" + std::to_string(question.slot) + "\" data-slot=\"" + std::to_string(question.slot)
            + "\" data-kind=\"";
        out += kindNames(question.kind).code;
        out += "\">\n";
        appendQuestionHeading(out, question);
        if (preview)
            appendPreview(out, question);
        else if (question.kind == QuestionKind::FreeText)
            appendFreeTexts(out, question);
        else
            appendChoiceChart(out, question);
        out += "</article>\n";
    }
    out += "</section>\n";
}

} // namespace mirunea::tally::report::html
