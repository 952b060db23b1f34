#include "tally/report/csv_export.h"

#include "tally/report/answer_text.h"

#include <cstddef>

namespace mirunea::tally::report {

namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

// What makes Excel or LibreOffice take a cell for a formula (or, after a tab
// or CR that the spreadsheet trims, for one). The usual defence: a leading
// apostrophe, which both show as text.
bool startsLikeFormula(std::string_view text)
{
    if (text.empty())
        return false;
    switch (text.front()) {
    case '=':
    case '+':
    case '-':
    case '@':
    case '\t':
    case '\r':
        return true;
    default:
        return false;
    }
}

bool needsQuotes(std::string_view text)
{
    return text.find_first_of(",\"\r\n") != std::string_view::npos;
}

void appendHeader(CsvRow& header, const QuestionResult& question)
{
    const std::string heading = questionHeading(question);
    if (question.kind != QuestionKind::MultipleChoice) {
        header.push_back(heading);
        return;
    }
    for (const ChoiceCount& choice : question.choices)
        header.push_back(heading + ": " + choice.text);
}

void appendAnswer(CsvRow& row, const QuestionResult& question, const AnswerCell& answer)
{
    if (question.kind != QuestionKind::MultipleChoice) {
        row.push_back(answerText(question, answer));
        return;
    }
    for (std::size_t i = 0; i < question.choices.size(); ++i)
        row.push_back(i < answer.ticked.size() && answer.ticked[i] ? "1" : "0");
}

} // namespace

std::string csvCell(std::string_view text)
{
    std::string cell;
    if (startsLikeFormula(text))
        cell += '\'';
    cell += text;
    if (!needsQuotes(cell))
        return cell;
    std::string quoted = "\"";
    for (const char c : cell) {
        if (c == '"')
            quoted += '"';
        quoted += c;
    }
    quoted += '"';
    return quoted;
}

std::string renderCsv(const std::vector<CsvRow>& rows)
{
    std::string out(kByteOrderMark);
    for (const CsvRow& row : rows) {
        for (std::size_t i = 0; i < row.size(); ++i) {
            if (i > 0)
                out += ',';
            out += csvCell(row[i]);
        }
        out += "\r\n";
    }
    return out;
}

std::vector<CsvRow> csvTable(const Report& report)
{
    std::vector<CsvRow> rows;
    rows.reserve(report.responses.size() + 1);
    CsvRow header{"コンピューター名", "回答者", "書き込み日時"};
    for (const QuestionResult& question : report.questions)
        appendHeader(header, question);
    rows.push_back(std::move(header));

    const AnswerCell none;
    for (const Response& response : report.responses) {
        CsvRow row{response.computerName, response.respondentName, response.writtenAt};
        for (std::size_t q = 0; q < report.questions.size(); ++q)
            appendAnswer(row, report.questions[q], q < response.answers.size() ? response.answers[q] : none);
        rows.push_back(std::move(row));
    }
    return rows;
}

std::string renderCsv(const Report& report)
{
    return renderCsv(csvTable(report));
}

} // namespace mirunea::tally::report
