#pragma once

#include "questionnaire/line_reader.h"

#include <string>
#include <string_view>

namespace mirunea {

inline constexpr int kMaxLines = 100;

// The questionnaire's line table (lines 1 to at most 100), read from the file
// only as far as it is looked at, and only as much of each line as is asked
// for: looking at a line reads its first three bytes, enough to tell an empty
// line and a marker line; takeWhole() reads the rest. Lines are looked at in
// increasing order; a line passed over is skipped unstored, and the lines after
// the 100th are never read.
class LineTable
{
public:
    explicit LineTable(LineReader& reader)
        : m_reader(reader)
    {
    }

    // Whether line number lineNumber exists, that is lineNumber <= count.
    [[nodiscard]] bool exists(int lineNumber);

    // The first three bytes of the line (all of it if shorter); empty for a
    // line that does not exist.
    [[nodiscard]] std::string_view head(int lineNumber);

    // The whole line, handed over: the line cannot be looked at again.
    [[nodiscard]] std::string takeWhole(int lineNumber);

    static constexpr std::size_t kHeadBytes = 3;

private:
    void moveTo(int lineNumber);
    // Moves past the current line to the next; false when there is none.
    [[nodiscard]] bool startNextLine();

    LineReader& m_reader;
    int m_current = 0; // the line in m_text; 0 before the first
    bool m_currentExists = true;
    std::string m_text; // the current line's head, or all of it once read whole
    bool m_readWhole = false;
};

} // namespace mirunea
