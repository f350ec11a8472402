#pragma once
// Lines of PostScript text in a byte span; CR, LF and CR LF end a line.

#include <cstring>
#include <string_view>

#include "bytespan.h"

class EpsLines
{
public:
    explicit EpsLines(ByteSpan text, std::size_t from = 0) : m_text(text), m_pos(from) {}

    // The next line without its end; false at the end of the text.
    bool next(std::string_view& line)
    {
        if (m_pos >= m_text.size)
            return false;
        const char* start = reinterpret_cast<const char*>(m_text.data) + m_pos;
        std::size_t n = 0;
        const std::size_t rest = m_text.size - m_pos;
        while (n < rest && start[n] != '\n' && start[n] != '\r')
            ++n;
        line = std::string_view(start, n);
        m_pos += n;
        if (m_pos < m_text.size && m_text.data[m_pos] == '\r')
            ++m_pos;
        if (m_pos < m_text.size && m_text.data[m_pos] == '\n')
            ++m_pos;
        return true;
    }

    std::size_t position() const { return m_pos; }

    static bool startsWith(std::string_view line, std::string_view prefix)
    {
        return line.size() >= prefix.size() && line.compare(0, prefix.size(), prefix) == 0;
    }

private:
    ByteSpan m_text;
    std::size_t m_pos;
};
