#include "questionnaire/line_reader.h"

#include "app/failure/io_failure.h"
#include "app/failure/windows_error_codes.h"

#include <algorithm>
#include <cstring>

namespace mirunea {

namespace {
constexpr char kLineFeed = '\n';
constexpr char kCarriageReturn = '\r';
constexpr char kEndOfFileMark = '\x1A';
} // namespace

bool LineReader::fillIfEmpty()
{
    if (m_begin < m_end)
        return true;
    if (m_fileAtEnd)
        return false;
    m_begin = 0;
    // Whole buffers, even past the bound: some files (/proc ones) refuse
    // reads of odd sizes.
    m_end = m_file.read(m_buffer.data(), m_buffer.size());
    m_bytesRead += m_end;
    if (m_bytesRead > kMaxFileBytes)
        throw IoFailure(win32::kFileTooLarge);
    m_fileAtEnd = m_end == 0;
    return !m_fileAtEnd;
}

bool LineReader::atEnd()
{
    return !fillIfEmpty() || m_buffer[m_begin] == kEndOfFileMark;
}

void LineReader::readInto(std::string& line, std::size_t maxBytes)
{
    while (maxBytes > 0 && fillIfEmpty()) {
        const char* const begin = m_buffer.data() + m_begin;
        const char* const end = m_buffer.data() + m_end;
        const auto* lineFeed = static_cast<const char*>(std::memchr(begin, kLineFeed, end - begin));
        const char* const partEnd = lineFeed ? lineFeed : end;

        // Copy the runs between carriage returns, leaving the returns out.
        const char* next = begin;
        while (next < partEnd && maxBytes > 0) {
            if (*next == kCarriageReturn) {
                ++next;
                continue;
            }
            const auto* carriageReturn = static_cast<const char*>(std::memchr(next, kCarriageReturn, partEnd - next));
            const char* const runEnd = carriageReturn ? carriageReturn : partEnd;
            const auto runLength = std::min(static_cast<std::size_t>(runEnd - next), maxBytes);
            line.append(next, runLength);
            next += runLength;
            maxBytes -= runLength;
        }
        m_begin = static_cast<std::size_t>(next - m_buffer.data());
        if (next == lineFeed)
            return; // the line break is left for finishLine()
    }
}

void LineReader::finishLine()
{
    while (fillIfEmpty()) {
        const char* const begin = m_buffer.data() + m_begin;
        const auto* lineFeed = static_cast<const char*>(std::memchr(begin, kLineFeed, m_end - m_begin));
        if (lineFeed) {
            m_begin = static_cast<std::size_t>(lineFeed + 1 - m_buffer.data());
            return;
        }
        m_begin = m_end;
    }
}

} // namespace mirunea
