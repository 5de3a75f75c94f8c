#include "LogLines.h"

#include <algorithm>
#include <cstring>
#include <stdexcept>

namespace tester {

namespace {

constexpr int BreakShift = 28;
constexpr std::uint32_t ChunkMask = (1u << BreakShift) - 1;

bool IsHigh(char16_t unit)
{
    return unit >= 0xD800 && unit <= 0xDBFF;
}

bool IsLow(char16_t unit)
{
    return unit >= 0xDC00 && unit <= 0xDFFF;
}

std::uint32_t Narrow(std::size_t value)
{
    if (value > 0xFFFFFFFFu)
        throw std::length_error("a log line longer than 4 GB");
    return static_cast<std::uint32_t>(value);
}

} // namespace

std::size_t Utf8Length(std::u16string_view text)
{
    std::size_t bytes = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char16_t unit = text[i];
        if (unit < 0x80) {
            bytes += 1;
        } else if (unit < 0x800) {
            bytes += 2;
        } else if (IsHigh(unit) && i + 1 < text.size() && IsLow(text[i + 1])) {
            bytes += 4;
            ++i;
        } else {
            bytes += 3;
        }
    }
    return bytes;
}

char *WriteUtf8(char *out, std::u16string_view text)
{
    const auto put = [&out](std::uint32_t byte) { *out++ = static_cast<char>(byte); };
    for (std::size_t i = 0; i < text.size(); ++i) {
        const std::uint32_t unit = text[i];
        if (unit < 0x80) {
            put(unit);
        } else if (unit < 0x800) {
            put(0xC0 | (unit >> 6));
            put(0x80 | (unit & 0x3F));
        } else if (IsHigh(text[i]) && i + 1 < text.size() && IsLow(text[i + 1])) {
            const std::uint32_t code = 0x10000 + ((unit - 0xD800) << 10) + (text[i + 1] - 0xDC00);
            put(0xF0 | (code >> 18));
            put(0x80 | ((code >> 12) & 0x3F));
            put(0x80 | ((code >> 6) & 0x3F));
            put(0x80 | (code & 0x3F));
            ++i;
        } else {
            put(0xE0 | (unit >> 12));
            put(0x80 | ((unit >> 6) & 0x3F));
            put(0x80 | (unit & 0x3F));
        }
    }
    return out;
}

// Reads only what WriteUtf8 wrote, so the bytes need no checking.
void AppendUtf16(std::u16string &out, std::string_view bytes)
{
    out.reserve(out.size() + bytes.size());
    for (std::size_t i = 0; i < bytes.size();) {
        const auto byte = [&bytes](std::size_t at) {
            return static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[at]));
        };
        const std::uint32_t lead = byte(i);
        if (lead < 0x80) {
            out += static_cast<char16_t>(lead);
            i += 1;
        } else if (lead < 0xE0) {
            out += static_cast<char16_t>(((lead & 0x1F) << 6) | (byte(i + 1) & 0x3F));
            i += 2;
        } else if (lead < 0xF0) {
            out += static_cast<char16_t>(((lead & 0x0F) << 12) | ((byte(i + 1) & 0x3F) << 6) |
                                         (byte(i + 2) & 0x3F));
            i += 3;
        } else {
            const std::uint32_t code = ((lead & 0x07) << 18) | ((byte(i + 1) & 0x3F) << 12) |
                                       ((byte(i + 2) & 0x3F) << 6) | (byte(i + 3) & 0x3F);
            out += static_cast<char16_t>(0xD800 + ((code - 0x10000) >> 10));
            out += static_cast<char16_t>(0xDC00 + ((code - 0x10000) & 0x3FF));
            i += 4;
        }
    }
}

LogLines::LogLines()
{
    m_lines.push_back(Store({}, LineBreak::None));
}

LineBreak LogLines::BreakBefore(std::size_t index) const
{
    return static_cast<LineBreak>(m_lines[index].chunk >> BreakShift);
}

std::string_view LogLines::Bytes(const Place &place) const
{
    if (place.bytes == 0)
        return {};
    return {m_chunks[place.chunk & ChunkMask].get() + place.offset, place.bytes};
}

std::u16string LogLines::Line(std::size_t index) const
{
    std::u16string text;
    AppendUtf16(text, Bytes(m_lines[index]));
    return text;
}

LogLines::Place LogLines::Store(std::u16string_view text, LineBreak before)
{
    const std::size_t bytes = Utf8Length(text);
    Place place;
    place.bytes = Narrow(bytes);
    place.units = Narrow(text.size());
    const auto breakBits = static_cast<std::uint32_t>(before) << BreakShift;
    if (bytes == 0) {
        place.chunk = breakBits;
        return place;
    }
    if (bytes > ChunkBytes) {
        // A chunk of its own; the one being filled goes on being filled.
        m_chunks.push_back(std::make_unique<char[]>(bytes));
        WriteUtf8(m_chunks.back().get(), text);
        place.chunk = Narrow(m_chunks.size() - 1) | breakBits;
        return place;
    }
    if (ChunkBytes - m_used < bytes) {
        m_chunks.push_back(std::make_unique<char[]>(ChunkBytes));
        m_filling = m_chunks.size() - 1;
        m_used = 0;
    }
    place.chunk = Narrow(m_filling) | breakBits;
    place.offset = Narrow(m_used);
    WriteUtf8(m_chunks[m_filling].get() + m_used, text);
    m_used += bytes;
    return place;
}

void LogLines::Release(const Place &place)
{
    const std::size_t chunk = place.chunk & ChunkMask;
    if (place.bytes > ChunkBytes)
        m_chunks[chunk].reset();
    else if (place.bytes != 0 && chunk == m_filling && place.offset + place.bytes == m_used)
        m_used = place.offset;
    // Anything else stays where it was: lines change by typing, which is slow, and are short.
}

void LogLines::Append(std::u16string_view text)
{
    const std::vector<tester::Line> pieces = SplitLines(text);
    if (!pieces.front().text.empty()) {
        Place &last = m_lines.back();
        std::u16string extended = Line(m_lines.size() - 1);
        extended += pieces.front().text;
        const LineBreak before = BreakBefore(m_lines.size() - 1);
        Release(last);
        last = Store(extended, before);
    }
    for (std::size_t i = 1; i < pieces.size(); ++i)
        m_lines.push_back(Store(pieces[i].text, pieces[i].before));
}

LogPosition LogLines::Replace(LogPosition from, LogPosition to, std::u16string_view text)
{
    from = Clamp(from);
    to = Clamp(to);
    if (to < from)
        std::swap(from, to);
    const std::u16string first = Line(from.line);
    const std::u16string last = to.line == from.line ? first : Line(to.line);
    const std::u16string_view prefix = std::u16string_view(first).substr(0, from.column);
    const std::u16string_view suffix = std::u16string_view(last).substr(to.column);
    const std::vector<tester::Line> pieces = SplitLines(text);
    const LineBreak kept = BreakBefore(from.line);

    std::vector<std::u16string> contents;
    contents.reserve(pieces.size());
    for (std::size_t i = 0; i < pieces.size(); ++i) {
        std::u16string content;
        if (i == 0)
            content += prefix;
        content += pieces[i].text;
        if (i + 1 == pieces.size())
            content += suffix;
        contents.push_back(std::move(content));
    }
    const LogPosition after{from.line + pieces.size() - 1,
                            (pieces.size() == 1 ? prefix.size() : 0) + pieces.back().text.size()};

    for (std::size_t line = to.line + 1; line-- > from.line;)
        Release(m_lines[line]);
    const auto at = m_lines.begin() + static_cast<std::ptrdiff_t>(from.line);
    m_lines.erase(at, at + static_cast<std::ptrdiff_t>(to.line - from.line + 1));
    std::vector<Place> places;
    places.reserve(contents.size());
    for (std::size_t i = 0; i < contents.size(); ++i)
        places.push_back(Store(contents[i], i == 0 ? kept : LineBreak::CrLf));
    m_lines.insert(m_lines.begin() + static_cast<std::ptrdiff_t>(from.line), places.begin(),
                   places.end());
    return after;
}

std::u16string LogLines::Text() const
{
    std::u16string text;
    for (std::size_t line = 0; line < m_lines.size(); ++line) {
        text += BreakText(BreakBefore(line));
        AppendUtf16(text, Bytes(m_lines[line]));
    }
    return text;
}

std::u16string LogLines::Text(LogPosition from, LogPosition to, std::u16string_view lineBreak) const
{
    from = Clamp(from);
    to = Clamp(to);
    if (to < from)
        std::swap(from, to);
    std::u16string text;
    for (std::size_t line = from.line; line <= to.line; ++line) {
        if (line != from.line)
            text += lineBreak;
        const std::u16string whole = Line(line);
        const std::size_t start = line == from.line ? from.column : 0;
        const std::size_t end = line == to.line ? to.column : whole.size();
        text.append(whole, start, end - start);
    }
    return text;
}

LogPosition LogLines::Clamp(LogPosition position) const
{
    position.line = std::min(position.line, m_lines.size() - 1);
    position.column = std::min<std::size_t>(position.column, m_lines[position.line].units);
    return position;
}

} // namespace tester
