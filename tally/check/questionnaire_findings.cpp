#include "tally/check/questionnaire_findings.h"

#include "questionnaire/line_table.h"

#include "tally/check/caption_text.h"
#include "tally/check/file_encoding.h"
#include "tally/check/line_text.h"
#include "tally/check/near_miss_marker.h"
#include "tally/check/text_width.h"

#include <algorithm>

namespace mirunea::tally {

namespace {

constexpr std::size_t kMaxInvalidLinesListed = 10;
constexpr const char* kSaveAsShiftJis =
    "メモ帳で開き、「名前を付けて保存」で文字コードを「ANSI」(Shift-JIS) にして保存し直すか、"
    "--fix-encoding で変換してください。";

[[nodiscard]] std::string lineName(int number)
{
    return std::to_string(number) + " 行目";
}

[[nodiscard]] std::string slotName(int slot)
{
    return "設問 " + std::to_string(slot);
}

[[nodiscard]] bool isBlank(char32_t c)
{
    return c == U' ' || c == U'\t' || c == U'\u3000';
}

// Which of a line's texts the sheet shows with "&" as an access-key mark.
[[nodiscard]] bool takesAccessKeys(const WalkedLine& line, const Questionnaire& walked)
{
    switch (line.role) {
    case LineRole::Title:
    case LineRole::Description:
    case LineRole::NamePrompt:
    case LineRole::Question:
        return true;
    case LineRole::Choice:
        return walked.questionSlots[static_cast<std::size_t>(line.slot - 1)].typeCode == "R";
    default:
        return false;
    }
}

[[nodiscard]] bool isShown(LineRole role)
{
    return role == LineRole::Title || role == LineRole::Description || role == LineRole::NamePrompt
        || role == LineRole::Question || role == LineRole::Choice;
}

class Collector
{
public:
    Collector(const LineWalk& walk, FileEncoding encoding)
        : m_walk(walk)
        , m_encoding(encoding)
        , m_room(panelRoom())
    {
    }

    void add(Severity severity, int lineNumber, std::string message)
    {
        m_findings.push_back(Finding{severity, lineNumber, std::move(message)});
    }

    void checkEncoding();
    void checkLineBreaks();
    void checkEndOfFile();
    void checkAgainstReader(const Questionnaire& asRead);
    void checkLines();

    [[nodiscard]] std::vector<Finding> take() && { return std::move(m_findings); }

private:
    void checkHead(const WalkedLine& line, const std::u32string& text);
    void checkShownText(const WalkedLine& line, const std::u32string& text);
    void checkWidth(const WalkedLine& line, std::u32string_view shown);
    void checkQuestion(const WalkedLine& line);
    void checkIgnored(const WalkedLine& line, const std::u32string& text);
    [[nodiscard]] std::string roleWords(const WalkedLine& line) const;

    const LineWalk& m_walk;
    FileEncoding m_encoding;
    PanelRoom m_room;
    std::vector<Finding> m_findings;
};

void Collector::checkEncoding()
{
    const std::string firstLine = m_walk.lines.empty() ? std::string() : shownText(m_walk.lines.front().bytes, 20);
    const std::string seen = "（1 行目は「" + firstLine + "」と表示されます）。";
    switch (m_encoding) {
    case FileEncoding::ShiftJis:
        return;
    case FileEncoding::Utf8:
    case FileEncoding::Utf8WithBom:
        add(Severity::Error, 0,
            "data.txt は " + encodingName(m_encoding) + " で保存されています。生徒の画面では日本語が文字化けします"
                + seen + kSaveAsShiftJis);
        return;
    case FileEncoding::Utf16LittleEndian:
    case FileEncoding::Utf16BigEndian:
        add(Severity::Error, 0,
            "data.txt は " + encodingName(m_encoding)
                + " で保存されています。生徒の画面には文字がほとんど表示されず、設問も出ません。" + kSaveAsShiftJis);
        return;
    case FileEncoding::InvalidShiftJis:
        break;
    }
    std::size_t listed = 0;
    for (const WalkedLine& line : m_walk.lines) {
        if (isValidShiftJis(line.bytes))
            continue;
        if (++listed > kMaxInvalidLinesListed)
            break;
        add(Severity::Error, line.number,
            lineName(line.number) + "に Shift-JIS として読めない文字があります。生徒の画面では「"
                + shownText(line.bytes, 30) + "」のように化けて表示されます。");
    }
    add(Severity::Error, 0,
        "data.txt に Shift-JIS として読めないバイトがあります。その部分は文字化けします。"
        "別の文字コードで保存されていないか確かめ、"
            + std::string(kSaveAsShiftJis));
}

void Collector::checkLineBreaks()
{
    if (m_walk.onlyCrBreaks) {
        add(Severity::Error, 0,
            "改行が CR だけなので、ファイル全体が 1 行（タイトル）として表示され、設問は出ません。"
            "改行を CR LF（Windows の改行）にして保存し直してください。");
        return;
    }
    for (const int number : m_walk.lineJoinedByLoneCr) {
        add(Severity::Error, number,
            lineName(number)
                + "には CR だけの改行があり、前後の行が 1 行につながって表示されます。改行を CR LF "
                  "にしてください。");
    }
}

void Collector::checkEndOfFile()
{
    if (m_walk.ctrlZLine > 0 && m_walk.ctrlZLine <= kMaxLines) {
        if (m_walk.markerAfterCtrlZ) {
            add(Severity::Error, m_walk.ctrlZLine,
                lineName(m_walk.ctrlZLine)
                    + "の先頭の Ctrl-Z（ファイルの終わりの印）より後ろの設問は表示されません。Ctrl-Z "
                      "を消してください。");
        } else if (m_walk.textAfterCtrlZ) {
            add(Severity::Warning, m_walk.ctrlZLine,
                lineName(m_walk.ctrlZLine) + "の先頭の Ctrl-Z（ファイルの終わりの印）より後ろは読み込まれません。");
        }
    }
    if (m_walk.firstNonEmptyPastHundred > 0) {
        add(Severity::Error, m_walk.firstNonEmptyPastHundred,
            "100 行目より後ろ（" + lineName(m_walk.firstNonEmptyPastHundred)
                + "から）は読み込まれず、表示されません。空行を減らすなどして 100 行以内に収めてください。");
    }
}

void Collector::checkAgainstReader(const Questionnaire& asRead)
{
    const Questionnaire& walked = m_walk.questionnaire;
    bool same = walked.title == asRead.title && walked.description == asRead.description
        && walked.namePrompt == asRead.namePrompt;
    for (std::size_t q = 0; q < walked.questionSlots.size(); ++q) {
        const QuestionSlot& mine = walked.questionSlots[q];
        const QuestionSlot& theirs = asRead.questionSlots[q];
        same = same && mine.typeCode == theirs.typeCode && mine.questionText == theirs.questionText
            && mine.choices == theirs.choices;
    }
    if (!same) {
        add(Severity::Error, 0,
            "data.txt が読み取りの途中で書き換えられたようです。保存が終わってから、もう一度実行してください。");
    }
}

std::string Collector::roleWords(const WalkedLine& line) const
{
    switch (line.role) {
    case LineRole::Title:
        return "タイトル";
    case LineRole::Description:
        return "説明";
    case LineRole::NamePrompt:
        return "氏名欄の見出し";
    case LineRole::Choice:
        return slotName(line.slot) + " の選択肢 " + std::to_string(line.choice);
    default:
        return "";
    }
}

void Collector::checkHead(const WalkedLine& line, const std::u32string& text)
{
    if (line.number <= 3 && (line.marker || looksLikeMarker(text))) {
        add(Severity::Warning, line.number,
            lineName(line.number)
                + "は設問の印で始まっていますが、1〜3 行目はいつもタイトル・説明・氏名欄の見出しなので、"
                + roleWords(line) + "として表示されます。行が抜けていないか確かめてください。");
        return;
    }
    if (line.number <= 3 || line.marker || !looksLikeMarker(text) || line.role == LineRole::AfterTenthQuestion)
        return;
    const std::string what = line.role == LineRole::Choice ? roleWords(line) + "として表示されます。"
                                                           : "無視されます。";
    add(Severity::Error, line.number,
        lineName(line.number) + "の " + quoted(text)
            + " は設問の印になりません（印は行の先頭に半角・大文字で [R] [C] [T]）。この行は" + what);
}

void Collector::checkShownText(const WalkedLine& line, const std::u32string& text)
{
    if (line.bytes.find('\t') != std::string::npos) {
        add(Severity::Warning, line.number,
            lineName(line.number)
                + "にタブ文字があります。画面では正しく表示されないことがあります。空白に置き換えてください。");
    }
    std::u32string shown = text;
    if (line.role == LineRole::Question)
        shown.erase(0, 3);
    if (takesAccessKeys(line, m_walk.questionnaire)) {
        if (losesAnAmpersand(shown)) {
            add(Severity::Warning, line.number,
                lineName(line.number) + "の「&」は表示されず、次の文字に下線が付きます（" + quoted(shownCaption(shown))
                    + " と表示されます）。「&」を表示するには「&&」と書いてください。");
        }
        shown = shownCaption(shown);
    }
    checkWidth(line, shown);
}

void Collector::checkWidth(const WalkedLine& line, std::u32string_view shown)
{
    int room = 0;
    std::string what;
    if (line.role == LineRole::Question) {
        room = m_room.captionPixels;
        what = slotName(line.slot) + " の文";
    } else if (line.role == LineRole::Choice) {
        const bool radio = m_walk.questionnaire.questionSlots[static_cast<std::size_t>(line.slot - 1)].typeCode == "R";
        room = radio ? m_room.radioItemPixels : m_room.checkListItemPixels;
        what = roleWords(line);
    } else {
        return; // the labels grow with their text
    }
    if (estimatedWidth(shown, m_room.fontPixels) <= room)
        return;
    add(Severity::Warning, line.number,
        lineName(line.number) + ": " + what + "がパネルの幅より長いため、右側が切れて表示されます（全角でおよそ "
            + std::to_string(fullWidthCharactersIn(room, m_room.fontPixels)) + " 文字まで）。");
}

void Collector::checkQuestion(const WalkedLine& line)
{
    if (line.marker == 'T')
        return;
    const QuestionSlot& slot = m_walk.questionnaire.questionSlots[static_cast<std::size_t>(line.slot - 1)];
    if (slot.choices.empty()) {
        add(Severity::Warning, line.number,
            slotName(line.slot) + "（" + kindName(line.marker)
                + "）に選択肢がありません。空の選択欄が表示されます。選択肢は設問の次の行から 1 行に 1 "
                  "つ書いてください。");
    }
}

void Collector::checkIgnored(const WalkedLine& line, const std::u32string& text)
{
    switch (line.role) {
    case LineRole::ExtraChoice:
        if (line.choice == kMaxChoices + 1) {
            add(Severity::Error, line.number,
                slotName(line.slot) + " の 6 つ目からの選択肢（" + lineName(line.number)
                    + "から）は表示されません。選択肢は 5 つまでです。");
        }
        return;
    case LineRole::AfterTenthQuestion:
        if (line.marker) {
            add(Severity::Error, line.number,
                std::to_string(line.slot) + " 問目の設問 " + quoted(text.substr(std::min<std::size_t>(3, text.size())))
                    + " は表示されません。設問は 10 問までです。");
        }
        return;
    default:
        break;
    }
    if (line.bytes.empty() || looksLikeMarker(text))
        return;
    std::string why;
    if (line.role == LineRole::BeforeFirstQuestion)
        why = "最初の設問より前にあるため";
    else if (line.role == LineRole::AfterTextQuestion)
        why = slotName(line.slot) + " は記述式で選択肢をとらないため";
    else
        why = slotName(line.slot) + " の選択肢が前の空行で終わっているため";
    add(Severity::Note, line.number, lineName(line.number) + " " + quoted(text) + " は、" + why + "表示されません。");
}

void Collector::checkLines()
{
    const auto& slots = m_walk.questionnaire.questionSlots;
    if (std::all_of(slots.begin(), slots.end(), [](const QuestionSlot& slot) { return slot.typeCode.empty(); })) {
        add(Severity::Warning, 0,
            "設問が 1 つもありません。4 "
            "行目から、[R]（択一）、[C]（複数選択）、[T]（記述）で始まる行に設問を書いてください。");
    }
    const bool lineThreeMissing = m_walk.lines.size() < 3;
    if (lineThreeMissing || m_walk.lines[2].bytes.empty()) {
        add(Severity::Warning, 3,
            "3 行目が空なので、氏名欄は表示されません。氏名を書いてもらうなら、3 "
            "行目に「氏名」などの見出しを書いてください。");
    }
    for (const WalkedLine& line : m_walk.lines) {
        const std::u32string text = writtenText(line, m_encoding);
        checkHead(line, text);
        if (isShown(line.role))
            checkShownText(line, text);
        if (line.role == LineRole::Question)
            checkQuestion(line);
        if (line.role == LineRole::Choice && !text.empty() && std::all_of(text.begin(), text.end(), isBlank)) {
            add(Severity::Warning, line.number,
                roleWords(line) + "（" + lineName(line.number)
                    + "）は空白だけです。空の選択肢として表示されます。選択肢の終わりのつもりなら空白を消してください"
                      "。");
        }
        if (!isShown(line.role))
            checkIgnored(line, text);
    }
}

} // namespace

std::vector<Finding> findingsOf(const LineWalk& walk, FileEncoding encoding, const Questionnaire& asRead)
{
    Collector collector(walk, encoding);
    collector.checkEncoding();
    collector.checkAgainstReader(asRead);
    // UTF-16 lines are no lines of their author's: nothing more to say of them.
    if (encoding != FileEncoding::Utf16LittleEndian && encoding != FileEncoding::Utf16BigEndian) {
        collector.checkLineBreaks();
        collector.checkEndOfFile();
        // A file of one line by CR-only breaks: its one error says all.
        if (!walk.onlyCrBreaks)
            collector.checkLines();
    }
    return std::move(collector).take();
}

} // namespace mirunea::tally
