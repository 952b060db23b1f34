#include "tally/run/summary.h"

#include <algorithm>
#include <cstddef>

namespace mirunea::tally {

namespace {

constexpr std::size_t kListedAtMost = 10;

[[nodiscard]] const char* severityWord(report::Severity severity)
{
    switch (severity) {
    case report::Severity::Error:
        return "エラー";
    case report::Severity::Warning:
        return "警告";
    case report::Severity::Note:
        break;
    }
    return "注意";
}

[[nodiscard]] std::size_t countOf(const std::vector<report::Finding>& findings, report::Severity severity)
{
    return static_cast<std::size_t>(std::count_if(findings.begin(), findings.end(),
                                                  [&](const report::Finding& f) { return f.severity == severity; }));
}

void appendRest(std::string& text, std::size_t total)
{
    if (total > kListedAtMost)
        text += "  …ほか " + std::to_string(total - kListedAtMost) + " 件（tally.html に全部あります）\n";
}

} // namespace

std::string summaryText(const report::Report& report)
{
    std::string text = "アンケート「" + report.title + "」: 設問 " + std::to_string(report.questions.size()) + " 問\n";
    const auto& findings = report.questionnaire.findings;
    text += "data.txt の確認: エラー " + std::to_string(countOf(findings, report::Severity::Error)) + " 件、警告 "
        + std::to_string(countOf(findings, report::Severity::Warning)) + " 件、注意 "
        + std::to_string(countOf(findings, report::Severity::Note)) + " 件\n";
    for (std::size_t i = 0; i < std::min(findings.size(), kListedAtMost); ++i) {
        const report::Finding& finding = findings[i];
        text += std::string("  ") + severityWord(finding.severity);
        if (finding.lineNumber > 0)
            text += " " + std::to_string(finding.lineNumber) + " 行目";
        text += ": " + finding.message + "\n";
    }
    appendRest(text, findings.size());

    if (report.isPreview()) {
        text += "回答ファイル（*.ans）はまだありません: tally.html でアンケートの見え方を確かめてください\n";
    } else {
        text += "回答ファイル: 集計 " + std::to_string(report.responses.size()) + " 件、集計できなかったもの "
            + std::to_string(report.problems.size()) + " 件、注意 " + std::to_string(report.notes.size()) + " 件\n";
        for (std::size_t i = 0; i < std::min(report.problems.size(), kListedAtMost); ++i) {
            const report::FileMessage& problem = report.problems[i];
            text += "  " + (problem.fileName.empty() ? std::string("フォルダー") : problem.fileName) + ": "
                + problem.message + "\n";
        }
        appendRest(text, report.problems.size());
    }
    text += "書き出し: tally.html（報告）、tally.csv（一覧）\n";
    return text;
}

} // namespace mirunea::tally
