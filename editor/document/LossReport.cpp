#include "LossReport.h"

#include "DocumentText.h"
#include "PathText.h"
#include "Survival.h"

#include <algorithm>
#include <cstdio>
#include <vector>

namespace lossreport {

namespace {

bool IsHigh(char16_t unit)
{
    return unit >= 0xD800 && unit <= 0xDBFF;
}

bool IsLow(char16_t unit)
{
    return unit >= 0xDC00 && unit <= 0xDFFF;
}

// Characters that would show as nothing, or as something else, in a message box.
bool Shows(char32_t c)
{
    if (c < 0x20 || (c >= 0x7F && c <= 0xA0) || c == 0xAD)
        return false;
    if (c >= 0xD800 && c <= 0xDFFF)
        return false; // a lone half of a pair
    if (c == 0x2028 || c == 0x2029 || (c >= 0x200B && c <= 0x200F) || c == 0xFEFF)
        return false;
    if ((c >= 0xFDD0 && c <= 0xFDEF) || (c & 0xFFFE) == 0xFFFE)
        return false;
    return true;
}

std::string Plural(std::size_t n, const char *one, const char *many)
{
    return Thousands(n) + " " + (n == 1 ? one : many);
}

std::string At(std::u16string_view text, std::size_t index)
{
    const Place place = PlaceOf(text, index);
    return "at line " + Thousands(place.line) + ", column " + Thousands(place.column);
}

} // namespace

Place PlaceWalker::At(std::size_t index)
{
    while (m_next < index && m_next < m_text.size()) {
        const std::size_t length = doctext::BreakAt(m_text, m_next);
        if (length == 0) {
            // The second half of a pair is no column of its own.
            if (m_next > m_lineStart && IsLow(m_text[m_next]) && IsHigh(m_text[m_next - 1]))
                ++m_pairs;
            ++m_next;
            continue;
        }
        if (m_next + length > index)
            break; // `index` is the LF of a CR LF: it stands where its CR does
        ++m_line;
        m_next += length;
        m_lineStart = m_next;
        m_pairs = 0;
    }
    return {m_line, std::min(index, m_next) - m_lineStart - m_pairs + 1};
}

Place PlaceOf(std::u16string_view text, std::size_t index)
{
    return PlaceWalker(text).At(index);
}

std::string Thousands(std::size_t number)
{
    std::string digits = std::to_string(number);
    for (std::size_t at = digits.size(); at > 3; at -= 3)
        digits.insert(at - 3, 1, ',');
    return digits;
}

std::string CharacterName(std::u16string_view text, std::size_t index)
{
    char32_t c = text[index];
    if (IsHigh(text[index]) && index + 1 < text.size() && IsLow(text[index + 1]))
        c = 0x10000 + ((c - 0xD800) << 10) + (char32_t(text[index + 1]) - 0xDC00);
    char code[16];
    std::snprintf(code, sizeof code, "U+%04X", unsigned(c));
    if (!Shows(c))
        return code;
    return Utf8(text.substr(index, c > 0xFFFF ? 2 : 1), false) + " (" + code + ")";
}

std::optional<std::string> SaveRefusal(std::u16string_view text, std::u16string_view key)
{
    if (text.size() > MaxTextUnits)
        return "The text has " + Thousands(text.size()) +
               " characters; a Torvane config file holds at most " + Thousands(MaxTextUnits) + ".";
    const std::vector<std::size_t> overflowing = OverflowingUnits(text, key);
    if (overflowing.empty())
        return std::nullopt;
    const std::size_t first = overflowing.front();
    std::string refusal = "The character " + CharacterName(text, first) + " " + At(text, first) +
                          " cannot be written to a Torvane config file at all";
    if (overflowing.size() > 1)
        refusal += " (nor can " + Plural(overflowing.size() - 1, "other", "others") + ")";
    return refusal + ". Replace or remove it, then save again.";
}

std::optional<std::string> LossQuestion(std::u16string_view text, std::u16string_view key)
{
    const std::vector<CharacterSpan> lost = LostCharacters(text, key);
    if (lost.empty())
        return std::nullopt;
    const bool one = lost.size() == 1;
    std::string question = Plural(lost.size(), "character", "characters") +
                           " of this text will not come back when the file is opened again: "
                           "a Torvane config file drops or changes " +
                           (one ? "it" : "them") + ".\n";
    for (std::size_t i = 0; i < lost.size() && i < ListedCharacters; ++i)
        question += "\n" + CharacterName(text, lost[i].index) + " " + At(text, lost[i].index);
    if (lost.size() > ListedCharacters)
        question += "\nand " + Thousands(lost.size() - ListedCharacters) + " more";
    question += std::string("\n\nReplace ") +
                (one ? "it with the nearest character" : "them with the nearest characters") +
                " that the file keeps and save, save the text as it is, or cancel?";
    return question;
}

std::string UnshownWarning(std::size_t positions)
{
    const bool one = positions == 1;
    return Plural(positions, "position", "positions") +
           " of this file cannot be shown: deciphering drops or changes " + (one ? "it" : "them") +
           ". Saving will rewrite the file without " + (one ? "it." : "them.");
}

std::string UnshownQuestion(std::size_t positions)
{
    return "When this file was opened, " + Plural(positions, "position", "positions") +
           " of it could not be shown. Saving now rewrites the file without " +
           (positions == 1 ? "it." : "them.") + " Save it anyway?";
}

std::string ReadBackMismatch()
{
    return "The file was written, but reading it back gave a different text: the file on "
           "disk does not hold the text of this document. The document stays marked as "
           "changed.";
}

std::string LossSummary(std::size_t lost, std::size_t units)
{
    std::string summary;
    if (lost > 0)
        summary = Plural(lost, "character", "characters") + " will not survive saving";
    if (units > MaxTextUnits) {
        if (!summary.empty())
            summary += "; ";
        summary += Thousands(units) + " characters, " + Thousands(units - MaxTextUnits) +
                   " over the limit of " + Thousands(MaxTextUnits);
    }
    return summary;
}

} // namespace lossreport
