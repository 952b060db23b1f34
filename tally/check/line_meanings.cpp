#include "tally/check/line_meanings.h"

#include "questionnaire/line_table.h"

#include "tally/check/line_text.h"
#include "tally/check/near_miss_marker.h"

namespace mirunea::tally {

namespace {

constexpr std::size_t kShownCharacters = 120;

[[nodiscard]] std::string slotName(int slot)
{
    return "設問 " + std::to_string(slot);
}

[[nodiscard]] std::string ignoredBecause(const std::string& reason)
{
    return "無視されます: " + reason;
}

// The empty line right after a choice list ends it; later ones are ignored.
[[nodiscard]] bool endsChoiceList(const WalkedLine& line, const WalkedLine* previous)
{
    if (line.role != LineRole::AfterChoiceList || !line.bytes.empty() || !previous)
        return false;
    return previous->role == LineRole::Choice || previous->role == LineRole::ExtraChoice
        || (previous->role == LineRole::Question && previous->marker != 'T');
}

struct Meaning
{
    std::string words;
    bool ignored;
};

[[nodiscard]] Meaning meaningOf(const WalkedLine& line, const WalkedLine* previous, bool nearMiss, bool onlyCrBreaks)
{
    const std::string slot = slotName(line.slot);
    switch (line.role) {
    case LineRole::Title:
        return {onlyCrBreaks ? "タイトル（改行が CR だけのため、ファイル全体がこの 1 行になります）" : "タイトル",
                false};
    case LineRole::Description:
        return {"説明", false};
    case LineRole::NamePrompt:
        if (line.bytes.empty())
            return {"氏名欄の見出し（空行: 氏名欄は表示されません）", false};
        return {"氏名欄の見出し", false};
    case LineRole::Question:
        return {slot + "（" + kindName(line.marker) + "）", false};
    case LineRole::Choice:
        return {slot + " の選択肢 " + std::to_string(line.choice), false};
    case LineRole::ExtraChoice:
        return {ignoredBecause(slot + " の " + std::to_string(line.choice) + " 番目の選択肢です（選択肢は 5 つまで）"),
                true};
    case LineRole::AfterTenthQuestion:
        if (line.marker)
            return {ignoredBecause(std::to_string(line.slot) + " 問目の設問です（設問は 10 問まで）"), true};
        return {ignoredBecause("10 問目より後ろの行です（設問は 10 問まで）"), true};
    default:
        break;
    }
    if (endsChoiceList(line, previous))
        return {slot + " の選択肢の終わり（空行）", false};
    if (nearMiss)
        return {ignoredBecause("設問の印になっていません（印は行頭の半角大文字 [R] [C] [T]）"), true};
    if (line.bytes.empty())
        return {ignoredBecause("空行"), true};
    switch (line.role) {
    case LineRole::BeforeFirstQuestion:
        return {ignoredBecause("最初の設問より前の行です"), true};
    case LineRole::AfterTextQuestion:
        return {ignoredBecause(slot + " は記述式なので、選択肢はありません"), true};
    default:
        return {ignoredBecause(slot + " の選択肢は前の空行で終わっています"), true};
    }
}

} // namespace

std::vector<LineMeaning> describeLines(const LineWalk& walk, FileEncoding encoding)
{
    const bool otherEncoding = encoding == FileEncoding::Utf8 || encoding == FileEncoding::Utf8WithBom;
    std::vector<LineMeaning> meanings;
    const WalkedLine* previous = nullptr;
    for (const WalkedLine& line : walk.lines) {
        const std::u32string written = writtenText(line, encoding);
        const bool nearMiss = line.number > 3 && !line.marker && looksLikeMarker(written);
        const Meaning meaning = meaningOf(line, previous, nearMiss, walk.onlyCrBreaks);
        meanings.push_back(LineMeaning{
            .lineNumber = line.number,
            .text = shownText(line.bytes, kShownCharacters),
            .meaning = meaning.words,
            .ignored = meaning.ignored,
            .lastLineNumber = 0,
            .asWritten = otherEncoding ? shortened(written, kShownCharacters) : std::string(),
        });
        previous = &line;
    }
    if (walk.ctrlZLine > 0 && walk.ctrlZLine <= kMaxLines) {
        meanings.push_back(LineMeaning{
            .lineNumber = walk.ctrlZLine,
            .text = "(Ctrl-Z)",
            .meaning = "ファイルの終わりの印 (Ctrl-Z): ここから後ろは読み込まれません",
            .ignored = true,
            .lastLineNumber = 0,
            .asWritten = {},
        });
    }
    if (walk.lineCount > kMaxLines) {
        meanings.push_back(LineMeaning{
            .lineNumber = kMaxLines + 1,
            .text = "",
            .meaning = ignoredBecause("100 行目より後ろの " + std::to_string(walk.lineCount - kMaxLines)
                                      + " 行は読み込まれません"),
            .ignored = true,
            .lastLineNumber = walk.lineCount,
            .asWritten = {},
        });
    }
    return meanings;
}

} // namespace mirunea::tally
