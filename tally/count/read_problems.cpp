#include "tally/count/read_problems.h"

#include "tally/count/tally.h"

namespace mirunea::tally {

namespace {

[[nodiscard]] std::string notRegularFile(FolderEntryKind kind)
{
    switch (kind) {
    case FolderEntryKind::Link:
        return "シンボリックリンクなどのリンクです。リンク先は読まずに除外しました";
    case FolderEntryKind::Folder:
        return "フォルダーです。除外しました";
    case FolderEntryKind::Other:
    case FolderEntryKind::RegularFile: // found to be something else when opened
        break;
    }
    return "通常のファイルではありません（パイプ・デバイスなど）。読まずに除外しました";
}

} // namespace

std::string readProblem(const FolderEntry& entry, const ReadResult& result)
{
    switch (result.outcome) {
    case ReadOutcome::Read:
        return {};
    case ReadOutcome::NotRegularFile:
        return notRegularFile(entry.kind);
    case ReadOutcome::HardLinked:
        return "別の名前（ハードリンク）も持つファイルです。読まずに除外しました";
    case ReadOutcome::TooLarge:
        return "回答ファイルとしては大きすぎます（" + std::to_string(kMaxAnswerFileBytes >> 20)
            + " MiB を超えています）。読まずに除外しました";
    case ReadOutcome::Changed:
        return "読んでいる間に変更されました。もう一度集計してください";
    case ReadOutcome::Busy:
        return "書き込み中のため読めませんでした（送信中かもしれません）。もう一度集計してください";
    case ReadOutcome::Failed:
        break;
    }
    return "読めませんでした（エラー " + std::to_string(result.errorCode) + "）";
}

std::string contentProblem(const AnswerFileContent& content)
{
    std::string problem;
    for (const std::string& fault : content.faults) {
        problem += problem.empty() ? "" : "。";
        problem += fault;
    }
    return problem;
}

} // namespace mirunea::tally
