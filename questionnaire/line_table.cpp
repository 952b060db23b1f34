#include "questionnaire/line_table.h"

#include <cassert>
#include <limits>
#include <utility>

namespace mirunea {

void LineTable::moveTo(int lineNumber)
{
    assert(lineNumber >= m_current && "lines are looked at in increasing order");
    // After the 100th line nothing more is read, not even the rest of that line.
    while (m_current < lineNumber && m_currentExists)
        m_currentExists = m_current < kMaxLines && startNextLine();
    if (!m_currentExists)
        m_text.clear();
    // Once one line is missing, so are all after it.
    m_current = lineNumber;
}

bool LineTable::startNextLine()
{
    if (m_current > 0)
        m_reader.finishLine();
    ++m_current;
    m_text.clear();
    m_readWhole = false;
    if (m_reader.atEnd())
        return false;
    m_reader.readInto(m_text, kHeadBytes);
    return true;
}

bool LineTable::exists(int lineNumber)
{
    moveTo(lineNumber);
    return m_currentExists;
}

std::string_view LineTable::head(int lineNumber)
{
    moveTo(lineNumber);
    return std::string_view(m_text).substr(0, kHeadBytes);
}

std::string LineTable::takeWhole(int lineNumber)
{
    moveTo(lineNumber);
    if (m_currentExists && !m_readWhole) {
        m_reader.readInto(m_text, std::numeric_limits<std::size_t>::max());
        m_readWhole = true;
    }
    return std::exchange(m_text, std::string());
}

} // namespace mirunea
