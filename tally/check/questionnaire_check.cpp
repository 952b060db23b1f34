#include "tally/check/questionnaire_check.h"

#include "tally/check/file_encoding.h"
#include "tally/check/line_meanings.h"
#include "tally/check/line_walk.h"
#include "tally/check/questionnaire_findings.h"

#include <algorithm>

namespace mirunea::tally {

bool QuestionnaireCheck::hasErrors() const
{
    return std::any_of(findings.begin(), findings.end(),
                       [](const Finding& finding) { return finding.severity == Severity::Error; });
}

QuestionnaireCheck checkQuestionnaire(std::string_view fileBytes, const Questionnaire& asRead)
{
    QuestionnaireCheck check;
    check.encoding = detectEncoding(fileBytes);
    const LineWalk walk = walkLines(fileBytes);
    check.lines = describeLines(walk, check.encoding);
    check.findings = findingsOf(walk, check.encoding, asRead);
    // What will surely go wrong first; within a kind, in file order.
    std::stable_sort(check.findings.begin(), check.findings.end(), [](const Finding& a, const Finding& b) {
        if (a.severity != b.severity)
            return a.severity < b.severity;
        return a.lineNumber < b.lineNumber;
    });
    return check;
}

std::string encodingName(FileEncoding encoding)
{
    switch (encoding) {
    case FileEncoding::ShiftJis:
        return "Shift-JIS";
    case FileEncoding::Utf8:
        return "UTF-8";
    case FileEncoding::Utf8WithBom:
        return "UTF-8（BOM 付き）";
    case FileEncoding::Utf16LittleEndian:
        return "Unicode (UTF-16 リトルエンディアン)";
    case FileEncoding::Utf16BigEndian:
        return "Unicode (UTF-16 ビッグエンディアン)";
    case FileEncoding::InvalidShiftJis:
        break;
    }
    return "Shift-JIS（読めないバイトを含む）";
}

} // namespace mirunea::tally
