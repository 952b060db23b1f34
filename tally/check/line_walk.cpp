#include "tally/check/line_walk.h"

#include "questionnaire/line_table.h"

#include <algorithm>
#include <cstddef>

namespace mirunea::tally {

namespace {

constexpr char kLineFeed = '\n';
constexpr char kCarriageReturn = '\r';
constexpr char kEndOfFileMark = '\x1A';

[[nodiscard]] char markerOf(std::string_view line)
{
    if (line.size() >= 3 && line[0] == '[' && line[2] == ']' && (line[1] == 'R' || line[1] == 'C' || line[1] == 'T'))
        return line[1];
    return 0;
}

[[nodiscard]] std::string withoutCarriageReturns(std::string_view raw)
{
    std::string line;
    line.reserve(raw.size());
    for (const char byte : raw) {
        if (byte != kCarriageReturn)
            line += byte;
    }
    return line;
}

// A CR with text on both sides: what its author saw as two lines is one.
[[nodiscard]] bool joinsTwoLines(std::string_view raw)
{
    const std::size_t first = raw.find_first_not_of(kCarriageReturn);
    const std::size_t last = raw.find_last_not_of(kCarriageReturn);
    if (first == std::string_view::npos)
        return false;
    return raw.substr(first, last - first + 1).find(kCarriageReturn) != std::string_view::npos;
}

// What follows a Ctrl-Z that ended the file: a marker line, any text.
void lookPastEnd(std::string_view rest, LineWalk& walk)
{
    std::size_t at = 0;
    while (at <= rest.size()) {
        const std::size_t lineFeed = std::min(rest.find(kLineFeed, at), rest.size());
        const std::string line = withoutCarriageReturns(rest.substr(at, lineFeed - at));
        if (markerOf(line))
            walk.markerAfterCtrlZ = true;
        if (line.find_first_not_of(" \t\x1A") != std::string::npos)
            walk.textAfterCtrlZ = true;
        at = lineFeed + 1;
    }
}

// Gives each line from the 4th on its role, as the reader fills the slots.
class SlotFiller
{
public:
    explicit SlotFiller(Questionnaire& questionnaire)
        : m_questionnaire(questionnaire)
    {
    }

    void take(WalkedLine& line)
    {
        line.marker = markerOf(line.bytes);
        if (line.marker) {
            takeMarker(line);
            return;
        }
        line.slot = m_slot;
        switch (m_state) {
        case State::BeforeFirst:
            line.role = LineRole::BeforeFirstQuestion;
            break;
        case State::AfterTenth:
            line.role = LineRole::AfterTenthQuestion;
            break;
        case State::AfterText:
            line.role = LineRole::AfterTextQuestion;
            break;
        case State::AfterList:
            line.role = LineRole::AfterChoiceList;
            break;
        case State::InList:
            takeListLine(line);
            break;
        }
    }

private:
    enum class State { BeforeFirst, InList, AfterText, AfterList, AfterTenth };

    void takeMarker(WalkedLine& line)
    {
        ++m_slot;
        line.slot = m_slot;
        if (m_slot > kSlotCount || m_state == State::AfterTenth) {
            line.role = LineRole::AfterTenthQuestion;
            m_state = State::AfterTenth;
            return;
        }
        line.role = LineRole::Question;
        QuestionSlot& slot = m_questionnaire.questionSlots[static_cast<std::size_t>(m_slot - 1)];
        slot.typeCode = std::string(1, line.marker);
        slot.questionText = line.bytes.substr(3);
        m_choices = 0;
        m_state = line.marker == 'T' ? State::AfterText : State::InList;
    }

    void takeListLine(WalkedLine& line)
    {
        if (line.bytes.empty()) {
            line.role = LineRole::AfterChoiceList;
            m_state = State::AfterList;
            return;
        }
        ++m_choices;
        line.choice = m_choices;
        if (m_choices > kMaxChoices) {
            line.role = LineRole::ExtraChoice;
            return;
        }
        line.role = LineRole::Choice;
        m_questionnaire.questionSlots[static_cast<std::size_t>(m_slot - 1)].choices.push_back(line.bytes);
    }

    Questionnaire& m_questionnaire;
    State m_state = State::BeforeFirst;
    int m_slot = 0; // marker lines so far, those past the tenth included
    int m_choices = 0;
};

} // namespace

LineWalk walkLines(std::string_view fileBytes)
{
    LineWalk walk;
    SlotFiller filler(walk.questionnaire);
    bool anyLineFeed = false;
    std::size_t at = 0;
    while (at < fileBytes.size()) {
        if (fileBytes[at] == kEndOfFileMark) {
            walk.ctrlZLine = walk.lineCount + 1;
            lookPastEnd(fileBytes.substr(at + 1), walk);
            break;
        }
        const std::size_t found = fileBytes.find(kLineFeed, at);
        anyLineFeed = anyLineFeed || found != std::string_view::npos;
        const std::size_t end = found == std::string_view::npos ? fileBytes.size() : found;
        const std::string_view raw = fileBytes.substr(at, end - at);
        const int number = ++walk.lineCount;
        at = end + 1;

        if (number > kMaxLines) {
            if (walk.firstNonEmptyPastHundred == 0 && !withoutCarriageReturns(raw).empty())
                walk.firstNonEmptyPastHundred = number;
            continue;
        }
        if (joinsTwoLines(raw))
            walk.lineJoinedByLoneCr.push_back(number);
        WalkedLine line{number, withoutCarriageReturns(raw), LineRole::Title};
        switch (number) {
        case 1:
            walk.questionnaire.title = line.bytes;
            line.marker = markerOf(line.bytes);
            break;
        case 2:
            line.role = LineRole::Description;
            walk.questionnaire.description = line.bytes;
            line.marker = markerOf(line.bytes);
            break;
        case 3:
            line.role = LineRole::NamePrompt;
            walk.questionnaire.namePrompt = line.bytes;
            line.marker = markerOf(line.bytes);
            break;
        default:
            filler.take(line);
            break;
        }
        walk.lines.push_back(std::move(line));
    }
    walk.onlyCrBreaks = !anyLineFeed && !walk.lineJoinedByLoneCr.empty();
    return walk;
}

} // namespace mirunea::tally
