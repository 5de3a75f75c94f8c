#include "LineFramer.h"

namespace protocol {

void LineFramer::Append(std::string_view bytes)
{
    // Drop what has been read before the buffer grows, so it stays near one line long.
    if (m_start > 0 && m_start >= m_buffer.size() / 2) {
        m_buffer.erase(0, m_start);
        m_start = 0;
    }
    m_buffer.append(bytes);
}

std::optional<FramedLine> LineFramer::Next()
{
    while (true) {
        const std::size_t end = m_buffer.find('\n', m_start);
        if (m_dropping) {
            if (end == std::string::npos) {
                m_buffer.clear();
                m_start = 0;
                return std::nullopt;
            }
            m_start = end + 1;
            m_dropping = false;
            continue;
        }
        if (end == std::string::npos) {
            if (Pending() <= m_limit + 1) // a CR may still come before the LF
                return std::nullopt;
            FramedLine line{m_buffer.substr(m_start, m_limit), true};
            m_buffer.clear();
            m_start = 0;
            m_dropping = true;
            return line;
        }
        std::size_t length = end - m_start;
        if (length > 0 && m_buffer[end - 1] == '\r')
            --length;
        FramedLine line{m_buffer.substr(m_start, std::min(length, m_limit)), length > m_limit};
        m_start = end + 1;
        return line;
    }
}

void LineFramer::Clear()
{
    m_buffer.clear();
    m_start = 0;
    m_dropping = false;
}

} // namespace protocol
