#include "Utf8.h"

#include "LossReport.h"

namespace {

void Append(std::u16string &out, char32_t c)
{
    if (c < 0x10000) {
        out.push_back(static_cast<char16_t>(c));
    } else {
        c -= 0x10000;
        out.push_back(static_cast<char16_t>(0xD800 + (c >> 10)));
        out.push_back(static_cast<char16_t>(0xDC00 + (c & 0x3FF)));
    }
}

// The length of the well-formed sequence at `at` and its code point, or 0 when the bytes
// there do not form one (the table of well-formed sequences in the Unicode standard).
std::size_t Sequence(std::string_view bytes, std::size_t at, char32_t &c)
{
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(bytes[i]); };
    const unsigned lead = byte(at);
    if (lead < 0x80) {
        c = lead;
        return 1;
    }
    std::size_t length = 0;
    unsigned low = 0x80, high = 0xBF; // range of the second byte
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
        c = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        c = lead & 0x0F;
        if (lead == 0xE0)
            low = 0xA0; // overlong below U+0800
        if (lead == 0xED)
            high = 0x9F; // surrogates
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        c = lead & 0x07;
        if (lead == 0xF0)
            low = 0x90; // overlong below U+10000
        if (lead == 0xF4)
            high = 0x8F; // past U+10FFFF
    } else {
        return 0;
    }
    if (at + length > bytes.size())
        return 0;
    for (std::size_t i = 1; i < length; ++i) {
        const unsigned b = byte(at + i);
        if (b < (i == 1 ? low : 0x80) || b > (i == 1 ? high : 0xBF))
            return 0;
        c = (c << 6) | (b & 0x3F);
    }
    return length;
}

} // namespace

std::optional<std::u16string> Utf8ToUtf16(std::string_view bytes, Utf8Error *error)
{
    std::u16string out;
    out.reserve(bytes.size());
    for (std::size_t at = 0; at < bytes.size();) {
        char32_t c = 0;
        const std::size_t length = Sequence(bytes, at, c);
        if (length == 0) {
            if (error) {
                const lossreport::Place where = lossreport::PlaceOf(out, out.size());
                *error = Utf8Error{at, where.line, where.column};
            }
            return std::nullopt;
        }
        Append(out, c);
        at += length;
    }
    return out;
}
