#include "modUnicodeRW.h"

#include "FileSystem.h"
#include "RunTimeError.h"

#include <limits>
#include <vector>

namespace {

constexpr char16_t ByteOrderMark = 0xFEFF;

} // namespace

std::u16string TextOfBytes(const std::vector<unsigned char> &bytes, bool UseBOM)
{
    std::u16string text((bytes.size() + 1) / 2, u'\0');
    for (std::size_t j = 0; j < text.size(); ++j) {
        const unsigned low = bytes[2 * j];
        const unsigned high = 2 * j + 1 < bytes.size() ? bytes[2 * j + 1] : 0u;
        text[j] = static_cast<char16_t>(low | (high << 8));
    }
    if (UseBOM && !text.empty() && text.front() == ByteOrderMark)
        std::erase(text, ByteOrderMark);
    return text;
}

std::u16string ReadUnicodeFile(const std::u16string &path, bool UseBOM)
{
    try {
        return TextOfBytes(fsys::ReadWhole(path, std::numeric_limits<std::uint64_t>::max()).bytes,
                           UseBOM);
    } catch (const std::exception &) {
        return {}; // out of memory for the text: reported like any other unreadable file
    }
}

void WriteUnicodeFile(const std::u16string &path, const std::u16string &text, bool UseBOM)
{
    std::vector<unsigned char> bytes;
    bytes.reserve(text.size() * 2 + 2);
    if (UseBOM) {
        bytes.push_back(0xFF);
        bytes.push_back(0xFE);
    }
    for (const char16_t unit : text) {
        bytes.push_back(static_cast<unsigned char>(unit & 0xFF));
        bytes.push_back(static_cast<unsigned char>(unit >> 8));
    }
    if (const fsys::Failure failure = fsys::ReplaceWhole(path, bytes))
        throw RunTimeError(failure.number,
                           "Cannot write \"" + fsys::DisplayPath(path) + "\": " + failure.reason,
                           "WriteUnicodeFile");
}
