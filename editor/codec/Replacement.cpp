#include "Replacement.h"

#include "Survival.h"

#include <algorithm>
#include <array>

namespace {

// clang-format off
constexpr std::array Table = std::to_array<Replacement>({
    {0x00AB, u'"'}, {0x00B4, u'\''}, {0x00BB, u'"'},
    {0x00C0, u'A'}, {0x00C1, u'A'}, {0x00C2, u'A'}, {0x00C3, u'A'}, {0x00C4, u'A'}, {0x00C5, u'A'},
    {0x00C7, u'C'},
    {0x00C8, u'E'}, {0x00C9, u'E'}, {0x00CA, u'E'}, {0x00CB, u'E'},
    {0x00CC, u'I'}, {0x00CD, u'I'}, {0x00CE, u'I'}, {0x00CF, u'I'},
    {0x00D1, u'N'},
    {0x00D2, u'O'}, {0x00D3, u'O'}, {0x00D4, u'O'}, {0x00D5, u'O'}, {0x00D6, u'O'}, {0x00D8, u'O'},
    {0x00D9, u'U'}, {0x00DA, u'U'}, {0x00DB, u'U'}, {0x00DC, u'U'},
    {0x00DD, u'Y'},
    {0x00E0, u'a'}, {0x00E1, u'a'}, {0x00E2, u'a'}, {0x00E3, u'a'}, {0x00E4, u'a'}, {0x00E5, u'a'},
    {0x00E7, u'c'},
    {0x00E8, u'e'}, {0x00E9, u'e'}, {0x00EA, u'e'}, {0x00EB, u'e'},
    {0x00EC, u'i'}, {0x00ED, u'i'}, {0x00EE, u'i'}, {0x00EF, u'i'},
    {0x00F1, u'n'},
    {0x00F2, u'o'}, {0x00F3, u'o'}, {0x00F4, u'o'}, {0x00F5, u'o'}, {0x00F6, u'o'}, {0x00F8, u'o'},
    {0x00F9, u'u'}, {0x00FA, u'u'}, {0x00FB, u'u'}, {0x00FC, u'u'},
    {0x00FD, u'y'}, {0x00FF, u'y'},
    {0x0100, u'A'}, {0x0101, u'a'}, {0x0102, u'A'}, {0x0103, u'a'}, {0x0104, u'A'}, {0x0105, u'a'},
    {0x0106, u'C'}, {0x0107, u'c'}, {0x0108, u'C'}, {0x0109, u'c'}, {0x010A, u'C'}, {0x010B, u'c'},
    {0x010C, u'C'}, {0x010D, u'c'},
    {0x010E, u'D'}, {0x010F, u'd'}, {0x0110, u'D'}, {0x0111, u'd'},
    {0x0112, u'E'}, {0x0113, u'e'}, {0x0114, u'E'}, {0x0115, u'e'}, {0x0116, u'E'}, {0x0117, u'e'},
    {0x0118, u'E'}, {0x0119, u'e'}, {0x011A, u'E'}, {0x011B, u'e'},
    {0x011C, u'G'}, {0x011D, u'g'}, {0x011E, u'G'}, {0x011F, u'g'}, {0x0120, u'G'}, {0x0121, u'g'},
    {0x0122, u'G'}, {0x0123, u'g'},
    {0x0124, u'H'}, {0x0125, u'h'}, {0x0126, u'H'}, {0x0127, u'h'},
    {0x0128, u'I'}, {0x0129, u'i'}, {0x012A, u'I'}, {0x012B, u'i'}, {0x012C, u'I'}, {0x012D, u'i'},
    {0x012E, u'I'}, {0x012F, u'i'}, {0x0130, u'I'}, {0x0131, u'i'},
    {0x0134, u'J'}, {0x0135, u'j'},
    {0x0136, u'K'}, {0x0137, u'k'},
    {0x0139, u'L'}, {0x013A, u'l'}, {0x013B, u'L'}, {0x013C, u'l'}, {0x013D, u'L'}, {0x013E, u'l'},
    {0x013F, u'L'}, {0x0140, u'l'}, {0x0141, u'L'}, {0x0142, u'l'},
    {0x0143, u'N'}, {0x0144, u'n'}, {0x0145, u'N'}, {0x0146, u'n'}, {0x0147, u'N'}, {0x0148, u'n'},
    {0x014C, u'O'}, {0x014D, u'o'}, {0x014E, u'O'}, {0x014F, u'o'}, {0x0150, u'O'}, {0x0151, u'o'},
    {0x0154, u'R'}, {0x0155, u'r'}, {0x0156, u'R'}, {0x0157, u'r'}, {0x0158, u'R'}, {0x0159, u'r'},
    {0x015A, u'S'}, {0x015B, u's'}, {0x015C, u'S'}, {0x015D, u's'}, {0x015E, u'S'}, {0x015F, u's'},
    {0x0160, u'S'}, {0x0161, u's'},
    {0x0162, u'T'}, {0x0163, u't'}, {0x0164, u'T'}, {0x0165, u't'}, {0x0166, u'T'}, {0x0167, u't'},
    {0x0168, u'U'}, {0x0169, u'u'}, {0x016A, u'U'}, {0x016B, u'u'}, {0x016C, u'U'}, {0x016D, u'u'},
    {0x016E, u'U'}, {0x016F, u'u'}, {0x0170, u'U'}, {0x0171, u'u'}, {0x0172, u'U'}, {0x0173, u'u'},
    {0x0174, u'W'}, {0x0175, u'w'},
    {0x0176, u'Y'}, {0x0177, u'y'}, {0x0178, u'Y'},
    {0x0179, u'Z'}, {0x017A, u'z'}, {0x017B, u'Z'}, {0x017C, u'z'}, {0x017D, u'Z'}, {0x017E, u'z'},
    {0x02BC, u'\''},
    {0x2010, u'-'}, {0x2011, u'-'}, {0x2012, u'-'}, {0x2013, u'-'}, {0x2014, u'-'}, {0x2015, u'-'},
    {0x2018, u'\''}, {0x2019, u'\''}, {0x201A, u'\''}, {0x201B, u'\''},
    {0x201C, u'"'}, {0x201D, u'"'}, {0x201E, u'"'}, {0x201F, u'"'},
    {0x2032, u'\''}, {0x2033, u'"'}, {0x2035, u'\''}, {0x2036, u'"'},
    {0x2039, u'\''}, {0x203A, u'\''},
    {0x2212, u'-'},
});
// clang-format on

static_assert(std::is_sorted(Table.begin(), Table.end(),
                             [](const Replacement &a, const Replacement &b) {
                                 return a.from < b.from;
                             }),
              "ReplacementFor searches the table by halves");

bool HighSurrogate(char16_t unit)
{
    return unit >= 0xD800 && unit <= 0xDBFF;
}

bool LowSurrogate(char16_t unit)
{
    return unit >= 0xDC00 && unit <= 0xDFFF;
}

// Marks that combine with the character before them: accents written apart from their
// letter, which a file keeps no more than the accented letters themselves.
bool CombiningMark(char16_t unit)
{
    return (unit >= 0x0300 && unit <= 0x036F) || (unit >= 0x1AB0 && unit <= 0x1AFF) ||
           (unit >= 0x1DC0 && unit <= 0x1DFF) || (unit >= 0x20D0 && unit <= 0x20FF) ||
           (unit >= 0xFE20 && unit <= 0xFE2F);
}

} // namespace

std::span<const Replacement> ReplacementTable()
{
    return Table;
}

char16_t ReplacementFor(char32_t character)
{
    const auto found =
        std::lower_bound(Table.begin(), Table.end(), character,
                         [](const Replacement &entry, char32_t c) { return entry.from < c; });
    return found != Table.end() && found->from == character ? found->to : u'?';
}

ReplacedText ReplaceLostCharacters(std::u16string_view text, std::u16string_view key)
{
    ReplacedText result;
    if (key.empty()) {
        result.text = text;
        return result;
    }
    result.text.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        const char16_t unit = text[i];
        if (HighSurrogate(unit) && i + 1 < text.size() && LowSurrogate(text[i + 1])) {
            // Neither half of a pair is below 256, so a pair is never kept.
            const char32_t character =
                0x10000 + ((char32_t(unit) - 0xD800) << 10) + (char32_t(text[i + 1]) - 0xDC00);
            const char16_t with = ReplacementFor(character);
            result.edits.push_back({i, 2, with});
            result.text.push_back(with);
            i += 2;
            continue;
        }
        // A mark on a letter goes with the letter's own accents: "z" and U+0301 become
        // "z", as the composed letter does. The edit before it, or the letter it sits on,
        // takes it in.
        if (CombiningMark(unit) && !result.text.empty() && result.text.back() != u'\r' &&
            result.text.back() != u'\n') {
            if (!result.edits.empty() &&
                result.edits.back().index + result.edits.back().length == i)
                ++result.edits.back().length;
            else
                result.edits.push_back({i - 1, 2, result.text.back()});
            ++i;
            continue;
        }
        // Judged where it lands in the result, which is where the file will hold it.
        if (UnitSurvives(unit, KeyCodeAt(key, result.text.size() + 1))) {
            result.text.push_back(unit);
        } else {
            const char16_t with = ReplacementFor(unit);
            result.edits.push_back({i, 1, with});
            result.text.push_back(with);
        }
        ++i;
    }
    return result;
}
