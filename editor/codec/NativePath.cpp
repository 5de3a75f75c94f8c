#include "NativePath.h"

namespace {

void AppendUtf8(std::string &out, char32_t c)
{
    if (c < 0x80) {
        out.push_back(static_cast<char>(c));
    } else if (c < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (c >> 6)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else if (c < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (c >> 12)));
        out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (c >> 18)));
        out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    }
}

bool IsHighSurrogate(char16_t u)
{
    return u >= 0xD800 && u <= 0xDBFF;
}
bool IsLowSurrogate(char16_t u)
{
    return u >= 0xDC00 && u <= 0xDFFF;
}

// A hand-written loop rather than std::filesystem's conversion: that one throws on an
// unpaired surrogate, and the reader must never raise.
std::string Encode(std::u16string_view path, char32_t unpaired)
{
    std::string out;
    out.reserve(path.size() * 3);
    for (std::size_t i = 0; i < path.size(); ++i) {
        const char16_t u = path[i];
        if (IsHighSurrogate(u) && i + 1 < path.size() && IsLowSurrogate(path[i + 1])) {
            const char32_t c = 0x10000 + ((char32_t(u) - 0xD800) << 10) + (path[i + 1] - 0xDC00);
            AppendUtf8(out, c);
            ++i;
        } else if (IsHighSurrogate(u) || IsLowSurrogate(u)) {
            AppendUtf8(out, unpaired ? unpaired : char32_t(u));
        } else {
            AppendUtf8(out, u);
        }
    }
    return out;
}

} // namespace

std::optional<std::string> NativePath(std::u16string_view path)
{
    if (path.find(u'\0') != std::u16string_view::npos)
        return std::nullopt;
    return Encode(path, 0);
}

std::string DisplayPath(std::u16string_view path)
{
    return Encode(path, 0xFFFD);
}
