#pragma once
// Cuts the bytes of a serial line into protocol lines. Bytes come in pieces of any size;
// a line is whole at its LF, and one CR before the LF belongs to the line end. A line
// that outgrows the limit is reported once, by its start, and the rest of it up to its
// LF is dropped, so a unit that never sends an LF cannot fill the host's memory.

#include "Limits.h"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace protocol {

struct FramedLine
{
    std::string text;      // without its line end; for an overlong line, its first bytes
    bool overlong = false; // longer than the limit
};

class LineFramer
{
public:
    explicit LineFramer(std::size_t limit = MaxLine) : m_limit(limit) {}

    void Append(std::string_view bytes);
    // The next whole line, if one has come.
    std::optional<FramedLine> Next();
    // Forgets everything received (a line opened afresh).
    void Clear();
    // Bytes of an unfinished line held back.
    std::size_t Pending() const { return m_buffer.size() - m_start; }

private:
    std::size_t m_limit;
    std::string m_buffer;
    std::size_t m_start = 0; // where the unread part begins
    bool m_dropping = false; // inside an overlong line already reported
};

} // namespace protocol
