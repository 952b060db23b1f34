#pragma once

#include "app/platform/file_layer.h"

#include <cstddef>
#include <string>
#include <vector>

namespace mirunea {

// The line structure of the questionnaire file, read through a buffer: a line
// ends at LF; carriage returns are never part of a line (CR LF ends a line, a
// lone CR is dropped); a Ctrl-Z at the start of a line ends the file.
//
// A line can be read in parts, so that a caller who needs only its first bytes
// skips the rest without storing it: readInto() as far as wanted, then
// finishLine().
//
// No more than kMaxFileBytes are read: a larger file (a sparse one, an endless
// one like a /proc file) fails with 223 once one byte more has come, so that
// the window opens within seconds whatever "data.txt" is.
class LineReader
{
public:
    static constexpr std::size_t kMaxFileBytes = std::size_t{64} << 20;

    explicit LineReader(SharedReadFile& file)
        : m_file(file)
    {
    }

    // At the start of a line: true when no line is left, that is when no byte
    // is left or the next byte is Ctrl-Z.
    [[nodiscard]] bool atEnd();

    // Appends up to maxBytes further bytes of the current line to line
    // (fewer where the line ends first).
    void readInto(std::string& line, std::size_t maxBytes);

    // Skips what is left of the current line and moves past its line break.
    void finishLine();

private:
    // False once the file has no bytes left.
    [[nodiscard]] bool fillIfEmpty();

    SharedReadFile& m_file;
    std::vector<char> m_buffer = std::vector<char>(64 * 1024);
    std::size_t m_begin = 0; // next unread byte in m_buffer
    std::size_t m_end = 0;   // end of the bytes in m_buffer
    bool m_fileAtEnd = false;
    std::size_t m_bytesRead = 0; // from the file so far
};

} // namespace mirunea
