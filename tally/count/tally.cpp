#include "tally/count/tally.h"

#include "answers/answer_file_reader.h"
#include "app/platform/folder_files.h"
#include "tally/count/answer_notes.h"
#include "tally/count/natural_order.h"
#include "tally/count/questionnaire_fit.h"
#include "tally/count/read_problems.h"

#include <algorithm>

namespace mirunea::tally {

namespace {

constexpr std::string_view kAnswerFileSuffix = ".ans";

[[nodiscard]] std::array<QuestionCount, kSlotCount> emptyCounts(const Questionnaire& questionnaire)
{
    std::array<QuestionCount, kSlotCount> counts;
    for (std::size_t i = 0; i < counts.size(); ++i) {
        const QuestionSlot& question = questionnaire.questionSlots[i];
        counts[i].slot = static_cast<int>(i) + 1;
        counts[i].typeCode = question.typeCode;
        if (question.typeCode == "R" || question.typeCode == "C")
            counts[i].choiceCounts.assign(question.choices.size(), 0);
    }
    return counts;
}

// The record fits the questionnaire, so every index below is in range.
void count(std::array<QuestionCount, kSlotCount>& counts, const AnswerRecord& record, std::size_t fileIndex)
{
    for (std::size_t i = 0; i < counts.size(); ++i) {
        QuestionCount& question = counts[i];
        const SlotAnswer& answer = record.slotAnswers[i];
        if (question.typeCode == "R") {
            if (answer.selected)
                ++question.choiceCounts[static_cast<std::size_t>(*answer.selected - 1)];
            else
                ++question.noAnswer;
        } else if (question.typeCode == "C") {
            for (std::size_t choice = 0; choice < answer.ticked.size(); ++choice)
                question.choiceCounts[choice] += answer.ticked[choice] ? 1 : 0;
            if (std::find(answer.ticked.begin(), answer.ticked.end(), true) == answer.ticked.end())
                ++question.noAnswer;
        } else if (question.typeCode == "T") {
            if (answer.text.empty())
                ++question.emptyTexts;
            else
                question.textAnswers.push_back(fileIndex);
        }
    }
}

[[nodiscard]] std::size_t textBytes(const AnswerRecord& record)
{
    std::size_t bytes = record.computerName.size() + record.respondentName.size();
    for (const SlotAnswer& answer : record.slotAnswers)
        bytes += answer.text.size();
    return bytes;
}

[[nodiscard]] std::vector<FolderEntry> sortedAnswerFiles(std::vector<FileProblem>& folderProblems)
{
    FolderListing listing = listWorkingFolder(kAnswerFileSuffix, kMaxAnswerFiles);
    if (listing.leftOut > 0) {
        folderProblems.push_back({"",
                                  "回答ファイルが多すぎます。名前順ではなくフォルダーの並びで最初の "
                                      + std::to_string(kMaxAnswerFiles) + " 個だけを見て、残りの "
                                      + std::to_string(listing.leftOut) + " 個は集計していません"});
    }
    std::sort(listing.entries.begin(), listing.entries.end(), [](const FolderEntry& a, const FolderEntry& b) {
        if (a.name != b.name)
            return naturalLess(a.name, b.name);
        return a.nativeName < b.nativeName;
    });
    return std::move(listing.entries);
}

} // namespace

Tally tallyFolder(const Questionnaire& questionnaire, std::int64_t questionnaireModifiedUnixSeconds)
{
    Tally tally;
    tally.questions = emptyCounts(questionnaire);
    std::vector<FileProblem> folderProblems;
    const std::vector<FolderEntry> entries = sortedAnswerFiles(folderProblems);

    // One file's bytes at a time; what is kept of it is its parsed record.
    std::string bytes;
    std::size_t keptBytes = 0;
    tally.files.reserve(entries.size());
    for (const FolderEntry& entry : entries) {
        const ReadResult result = readListedFile(entry, kMaxAnswerFileBytes, bytes);
        if (result.outcome != ReadOutcome::Read) {
            tally.problems.push_back({entry.name, readProblem(entry, result)});
            continue;
        }
        AnswerFileContent content = parseAnswerFile(bytes);
        std::string problem = contentProblem(content);
        if (problem.empty())
            problem = misfit(content.record, questionnaire);
        if (problem.empty() && keptBytes + textBytes(content.record) > kMaxKeptTextBytes)
            problem = "回答の文字が合計で多すぎるため、このファイルからは集計していません";
        if (!problem.empty()) {
            tally.problems.push_back({entry.name, std::move(problem)});
            continue;
        }
        keptBytes += textBytes(content.record);
        count(tally.questions, content.record, tally.files.size());
        tally.files.push_back({entry.name, entry.modifiedUnixSeconds, std::move(content.record)});
    }
    tally.problems.insert(tally.problems.end(), folderProblems.begin(), folderProblems.end());
    tally.notes = answerNotes(tally.files, questionnaireModifiedUnixSeconds);
    return tally;
}

} // namespace mirunea::tally
