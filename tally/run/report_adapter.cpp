#include "tally/run/report_adapter.h"

#include "app/text/cp932.h"
#include "tally/check/file_encoding.h"

#include <cstdio>
#include <ctime>

namespace mirunea::tally {

namespace {

[[nodiscard]] report::Severity toReport(Severity severity)
{
    switch (severity) {
    case Severity::Error:
        return report::Severity::Error;
    case Severity::Warning:
        return report::Severity::Warning;
    case Severity::Note:
        break;
    }
    return report::Severity::Note;
}

[[nodiscard]] report::QuestionnaireSection checkSection(const QuestionnaireCheck& check)
{
    report::QuestionnaireSection section;
    section.encodingOk = check.encoding == FileEncoding::ShiftJis;
    section.encodingVerdict = encodingName(check.encoding);
    for (const Finding& finding : check.findings)
        section.findings.push_back({toReport(finding.severity), finding.lineNumber, finding.message});
    for (const LineMeaning& line : check.lines) {
        section.lines.push_back(
            {line.lineNumber, line.text, line.meaning, line.ignored, line.lastLineNumber, line.asWritten});
    }
    return section;
}

[[nodiscard]] report::QuestionKind kindOf(const std::string& typeCode)
{
    if (typeCode == "C")
        return report::QuestionKind::MultipleChoice;
    if (typeCode == "T")
        return report::QuestionKind::FreeText;
    return report::QuestionKind::SingleChoice;
}

[[nodiscard]] report::QuestionResult questionResult(const QuestionSlot& slot, const QuestionCount& count,
                                                    const Tally& tally)
{
    report::QuestionResult result;
    result.slot = count.slot;
    result.kind = kindOf(slot.typeCode);
    result.text = cp932::toUtf8(slot.questionText);
    result.respondents = static_cast<int>(tally.files.size());
    result.noAnswer = count.noAnswer;
    for (std::size_t i = 0; i < slot.choices.size(); ++i) {
        const int counted = i < count.choiceCounts.size() ? count.choiceCounts[i] : 0;
        result.choices.push_back({cp932::toUtf8(slot.choices[i]), counted});
    }
    const std::size_t slotIndex = static_cast<std::size_t>(count.slot - 1);
    for (const std::size_t fileIndex : count.textAnswers) {
        const AnswerRecord& record = tally.files[fileIndex].record;
        result.freeTexts.push_back({cp932::toUtf8(record.slotAnswers[slotIndex].text),
                                    cp932::toUtf8(record.respondentName), cp932::toUtf8(record.computerName)});
    }
    result.emptyTexts = count.emptyTexts;
    return result;
}

[[nodiscard]] report::AnswerCell answerCell(const SlotAnswer& answer)
{
    report::AnswerCell cell;
    if (answer.selected)
        cell.chosen = *answer.selected - 1;
    cell.ticked = answer.ticked;
    cell.text = cp932::toUtf8(answer.text);
    return cell;
}

} // namespace

std::string localTimeText(std::int64_t unixSeconds)
{
    const std::time_t time = static_cast<std::time_t>(unixSeconds);
    const std::tm* local = std::localtime(&time);
    if (local == nullptr)
        return "-";
    char text[64];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d", local->tm_year + 1900, local->tm_mon + 1,
                  local->tm_mday, local->tm_hour, local->tm_min);
    return text;
}

report::Report makeReport(const ReportSources& sources)
{
    const Questionnaire& questionnaire = sources.questionnaire;
    const Tally& tally = sources.tally;
    report::Report report;
    report.folderName = sources.folderName;
    report.runAt = localTimeText(sources.runAtUnixSeconds);
    report.title = cp932::toUtf8(questionnaire.title);
    report.description = cp932::toUtf8(questionnaire.description);
    report.namePrompt = cp932::toUtf8(questionnaire.namePrompt);
    report.questionnaire = checkSection(sources.check);

    std::vector<std::size_t> shownSlots;
    for (std::size_t i = 0; i < questionnaire.questionSlots.size(); ++i) {
        if (questionnaire.questionSlots[i].typeCode.empty())
            continue;
        shownSlots.push_back(i);
        report.questions.push_back(questionResult(questionnaire.questionSlots[i], tally.questions[i], tally));
    }
    for (const CountedFile& file : tally.files) {
        report::Response response;
        response.fileName = file.fileName;
        response.computerName = cp932::toUtf8(file.record.computerName);
        response.respondentName = cp932::toUtf8(file.record.respondentName);
        response.writtenAt = localTimeText(file.modifiedUnixSeconds);
        for (const std::size_t slot : shownSlots)
            response.answers.push_back(answerCell(file.record.slotAnswers[slot]));
        report.responses.push_back(std::move(response));
    }
    for (const FileProblem& problem : tally.problems)
        report.problems.push_back({problem.fileName, problem.message});
    for (const FileNote& note : tally.notes)
        report.notes.push_back({note.fileName, note.message});
    return report;
}

} // namespace mirunea::tally
