#include "answers/answer_file_reader.h"

#include <algorithm>
#include <optional>

namespace mirunea {

namespace {

constexpr std::string_view kLineBreak = "\r\n";
constexpr std::string_view kEndLine = "[END]";

// The file's lines, one at a time. Only CR LF ends a line, as the writer
// writes it: a lone CR or LF belongs to the line, and Shift-JIS trail bytes
// are never 0x0D or 0x0A, so no character is cut.
class Lines
{
public:
    explicit Lines(std::string_view bytes)
        : m_rest(bytes)
    {
    }

    [[nodiscard]] bool atEnd() const { return m_rest.empty(); }
    [[nodiscard]] int number() const { return m_number; }
    // Whether the line last taken had its CR LF (a file cut short may not).
    [[nodiscard]] bool lastWasWhole() const { return m_lastWasWhole; }
    [[nodiscard]] std::string_view rest() const { return m_rest; }

    // The next line without its CR LF; nullopt when no byte is left.
    [[nodiscard]] std::optional<std::string_view> next()
    {
        if (m_rest.empty())
            return std::nullopt;
        ++m_number;
        const std::size_t end = m_rest.find(kLineBreak);
        m_lastWasWhole = end != std::string_view::npos;
        std::string_view line = m_rest.substr(0, end);
        m_rest.remove_prefix(m_lastWasWhole ? end + kLineBreak.size() : m_rest.size());
        // A file cut between the CR and the LF: the CR is a line break begun.
        if (!m_lastWasWhole && line.ends_with('\r'))
            line.remove_suffix(1);
        return line;
    }

    // The next line, left where it is.
    [[nodiscard]] std::optional<std::string_view> peek() const
    {
        Lines copy = *this;
        return copy.next();
    }

private:
    std::string_view m_rest;
    int m_number = 0;
    bool m_lastWasWhole = true;
};

struct Section
{
    int slot;
    char typeCode;
};

// "[Q" + slot 1 to 10 without leading zeros + "R", "C" or "T" + "]".
[[nodiscard]] std::optional<Section> sectionLine(std::string_view line)
{
    if (line.size() < 5 || line.size() > 6 || line.substr(0, 2) != "[Q" || line.back() != ']')
        return std::nullopt;
    const std::string_view number = line.substr(2, line.size() - 4);
    const char typeCode = line[line.size() - 2];
    if (typeCode != 'R' && typeCode != 'C' && typeCode != 'T')
        return std::nullopt;
    int slot = 0;
    if (number == "10")
        slot = 10;
    else if (number.size() == 1 && number[0] >= '1' && number[0] <= '9')
        slot = number[0] - '0';
    else
        return std::nullopt;
    return Section{slot, typeCode};
}

[[nodiscard]] bool isFlagLine(std::string_view line)
{
    return line == "0" || line == "1";
}

[[nodiscard]] std::string lineText(int lineNumber)
{
    return std::to_string(lineNumber) + " 行目";
}

class Parser
{
public:
    explicit Parser(std::string_view bytes)
        : m_bytes(bytes)
        , m_lines(bytes)
    {
    }

    AnswerFileContent parse()
    {
        if (!looksLikeText())
            return std::move(m_content);
        const std::optional<std::string_view> computerName = m_lines.next();
        const std::optional<std::string_view> respondentName = m_lines.next();
        if (computerName)
            m_content.record.computerName = *computerName;
        if (respondentName)
            m_content.record.respondentName = *respondentName;
        if (!respondentName || !m_lines.lastWasWhole()) {
            cutShort();
            return std::move(m_content);
        }
        readSections();
        return std::move(m_content);
    }

private:
    void fault(AnswerFileFault kind, std::string message)
    {
        m_content.faultKinds.push_back(kind);
        m_content.faults.push_back(std::move(message));
    }

    void cutShort()
    {
        fault(AnswerFileFault::MissingEnd, "[END] の行がありません（送信が途中で終わったファイルです）");
    }

    // The writer never writes a NUL byte, and always CR LF: a file without
    // either is something else under an answer file's name (or one that a
    // copy or editor changed), and none of it is read.
    [[nodiscard]] bool looksLikeText()
    {
        if (m_bytes.find('\0') != std::string_view::npos) {
            fault(AnswerFileFault::NotAnswerFile, "回答ファイルではありません（NUL バイトを含みます）");
            return false;
        }
        if (m_bytes.find(kLineBreak) == std::string_view::npos && m_bytes.find('\n') != std::string_view::npos) {
            fault(AnswerFileFault::NotAnswerFile, "回答ファイルではありません（行末が CR LF ではありません）");
            return false;
        }
        return true;
    }

    void readSections()
    {
        int previousSlot = 0;
        for (;;) {
            const std::optional<std::string_view> line = m_lines.next();
            if (!line) {
                cutShort();
                return;
            }
            if (*line == kEndLine) {
                finishAtEnd();
                return;
            }
            const std::optional<Section> section = sectionLine(*line);
            if (!section || !m_lines.lastWasWhole()) {
                // A section line or "[END]" cut in the middle is a send cut short.
                if (m_lines.atEnd() && !m_lines.lastWasWhole() && isPrefixOfStructureLine(*line))
                    cutShort();
                else
                    fault(AnswerFileFault::NotAnswerFile,
                          "回答ファイルの形式ではありません（" + lineText(m_lines.number()) + "）");
                return;
            }
            if (section->slot <= previousSlot) {
                fault(AnswerFileFault::SlotOutOfOrder,
                      "設問の順序が正しくありません（" + lineText(m_lines.number()) + "）");
                return;
            }
            previousSlot = section->slot;
            if (!readSection(*section))
                return;
        }
    }

    // Whether the line could be the start of "[END]" or of a section line.
    [[nodiscard]] static bool isPrefixOfStructureLine(std::string_view line)
    {
        if (kEndLine.starts_with(line))
            return true;
        for (int slot = 1; slot <= kSlotCount; ++slot) {
            for (const char* typeCode : {"R", "C", "T"}) {
                if (("[Q" + std::to_string(slot) + typeCode + "]").starts_with(line))
                    return true;
            }
        }
        return false;
    }

    void finishAtEnd()
    {
        // "[END]" without its CR LF still closes a complete set of answers.
        m_content.ended = true;
        if (!m_lines.atEnd())
            fault(AnswerFileFault::BytesAfterEnd, "[END] の後に余分な内容があります");
    }

    // False when the section ends the reading (a fault or the file's end).
    bool readSection(const Section& section)
    {
        SlotAnswer& answer = m_content.record.slotAnswers[static_cast<std::size_t>(section.slot - 1)];
        answer.typeCode = std::string(1, section.typeCode);
        const int sectionLineNumber = m_lines.number();
        if (section.typeCode == 'T') {
            const std::optional<std::string_view> text = m_lines.next();
            if (!text || !m_lines.lastWasWhole()) {
                if (text)
                    answer.text = *text;
                cutShort();
                return false;
            }
            answer.text = *text;
            return true;
        }

        std::vector<bool> flags;
        for (std::optional<std::string_view> next = m_lines.peek(); next && isFlagLine(*next); next = m_lines.peek()) {
            (void)m_lines.next();
            if (!m_lines.lastWasWhole()) {
                cutShort();
                return false;
            }
            flags.push_back(*next == "1");
            if (flags.size() > static_cast<std::size_t>(kMaxChoices)) {
                fault(AnswerFileFault::TooManyFlags,
                      "選択肢の数が多すぎます（" + lineText(sectionLineNumber) + " からの設問）");
                return false;
            }
        }
        if (section.typeCode == 'C') {
            answer.ticked = std::move(flags);
            return true;
        }
        answer.choiceCount = static_cast<int>(flags.size());
        const auto selected = std::find(flags.begin(), flags.end(), true);
        if (selected != flags.end())
            answer.selected = static_cast<int>(selected - flags.begin()) + 1;
        if (std::count(flags.begin(), flags.end(), true) > 1)
            fault(AnswerFileFault::SeveralSelected,
                  "択一の設問で複数の選択肢が選ばれています（" + lineText(sectionLineNumber) + "）");
        return true;
    }

    std::string_view m_bytes;
    Lines m_lines;
    AnswerFileContent m_content;
};

} // namespace

AnswerFileContent parseAnswerFile(std::string_view bytes)
{
    return Parser(bytes).parse();
}

} // namespace mirunea
