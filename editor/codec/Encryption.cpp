#include "Encryption.h"

#include "RunTimeError.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <new>
#include <vector>

namespace {

// The position counter is 16-bit signed and steps once past the last unit, so 32,767
// units already overflow it.
constexpr std::size_t MaxUnits = 32766;

// Texts are worked in blocks of whole key periods, so every block starts on the same key
// letter and reads its key codes straight from one array. The inner loops then have no
// modulo and no branch, and the compiler vectorises them.
constexpr std::size_t BlockUnits = 512;

// The single-byte code a key character counts by, after upper-casing. Characters from
// Latin-1 count as their own code (lower-case letters upper-cased, as the Western 8-bit
// code page does); anything else has no single-byte form and counts as '?'.
std::int16_t KeyCode(char16_t c)
{
    const bool lowerAscii = c >= u'a' && c <= u'z';
    const bool lowerLatin1 = c >= 0xE0 && c <= 0xFE && c != 0xF7;
    if (lowerAscii || lowerLatin1)
        c = static_cast<char16_t>(c - 0x20);
    return static_cast<std::int16_t>(c < 0x100 ? c : u'?');
}

// stream[j] is the code of the key letter that position (block start + j + 1) uses:
// letter ((j + 1) mod m) + 1, counted from 1. One key period is worked out once and
// repeated, as a division per entry would cost more than the cipher itself.
std::vector<std::int16_t> KeyStream(const std::u16string &key)
{
    const std::size_t m = key.size();
    std::vector<std::int16_t> period(m);
    for (std::size_t j = 0; j < m; ++j)
        period[j] = KeyCode(key[(j + 1) % m]);
    std::vector<std::int16_t> stream(m * std::max<std::size_t>(1, BlockUnits / m));
    for (std::size_t j = 0; j < stream.size(); j += m)
        std::copy(period.begin(), period.end(), stream.begin() + static_cast<std::ptrdiff_t>(j));
    return stream;
}

// The loops below keep to 16-bit lanes so that eight units go through each vector step.
// In those terms the rule reads: with 0 <= k < 256, the signed sum u + k passes 32,767
// exactly when the wrapped 16-bit sum comes out below u, and the signed difference u - k
// falls below -32,768 exactly when the wrapped difference comes out above u; the low 8
// bits of a sum or difference are those of its wrapped 16-bit form.

std::int16_t Signed(char16_t unit)
{
    return static_cast<std::int16_t>(unit);
}

// Returns whether a sum overflowed 16-bit signed arithmetic.
bool EnCryptBlock(const char16_t *units, const std::int16_t *codes, std::size_t length,
                  char16_t *out)
{
    std::int16_t overflow = 0;
    for (std::size_t j = 0; j < length; ++j) {
        const char16_t sum = static_cast<char16_t>(units[j] + codes[j]);
        overflow |= Signed(sum) < Signed(units[j]);
        out[j] = static_cast<char16_t>(sum & 0xFF);
    }
    return overflow != 0;
}

struct BlockCount
{
    std::size_t kept = 0;
    bool overflow = false;
};

// Deciphers every unit of the block into `out` whether it is kept or not, and counts the
// kept ones: when all are kept (as in any text this editor wrote) `out` is the result.
BlockCount DeCryptWhole(const char16_t *units, const std::int16_t *codes, std::size_t length,
                        char16_t *out)
{
    std::int16_t overflow = 0;
    std::int16_t kept = 0; // no block is longer than the text, which is below 32,767 units
    for (std::size_t j = 0; j < length; ++j) {
        const char16_t difference = static_cast<char16_t>(units[j] - codes[j]);
        overflow |= Signed(difference) > Signed(units[j]);
        kept = static_cast<std::int16_t>(kept + (Signed(units[j]) > codes[j])); // u - k > 0
        out[j] = static_cast<char16_t>(difference & 0xFF);
    }
    return {static_cast<std::size_t>(kept), overflow != 0};
}

// Deciphers the block leaving out the units whose difference is not positive; `out` may
// be `units` itself or lie before it. Returns how many units it wrote.
std::size_t DeCryptCompact(const char16_t *units, const std::int16_t *codes, std::size_t length,
                           char16_t *out)
{
    std::size_t kept = 0;
    for (std::size_t j = 0; j < length; ++j) {
        const std::int32_t difference = Signed(units[j]) - codes[j];
        out[kept] = static_cast<char16_t>(difference & 0xFF);
        kept += difference > 0 ? 1 : 0;
    }
    return kept;
}

[[noreturn]] void Overflow()
{
    throw RunTimeError(ErrorNumber::Overflow, "Overflow", "");
}

// Every error inside a routine reaches its caller renamed after the routine, with the
// routine's name and a colon before the original description.
template <typename Body> std::u16string Trap(const char *source, Body &&body)
{
    try {
        return body();
    } catch (const RunTimeError &e) {
        throw RunTimeError(e.Number, source + (":" + e.Description), source);
    } catch (const std::bad_alloc &) {
        throw RunTimeError(ErrorNumber::OutOfMemory, source + std::string(":Out of memory"),
                           source);
    }
}

} // namespace

std::u16string EnCrypt(const std::u16string &text, std::u16string key)
{
    return Trap("EnCrypt", [&]() -> std::u16string {
        if (key.empty())
            return text;
        if (text.size() > MaxUnits)
            Overflow();
        const std::vector<std::int16_t> stream = KeyStream(key);
        std::u16string result(text.size(), u'\0');
        bool overflow = false;
        for (std::size_t start = 0; start < result.size(); start += stream.size()) {
            const std::size_t length = std::min(stream.size(), result.size() - start);
            overflow |=
                EnCryptBlock(text.data() + start, stream.data(), length, result.data() + start);
        }
        if (overflow)
            Overflow();
        return result;
    });
}

std::u16string DeCrypt(std::u16string text, std::u16string key)
{
    return Trap("DeCrypt", [&]() -> std::u16string {
        if (key.empty())
            return std::move(text);
        if (text.size() > MaxUnits)
            Overflow();
        const std::vector<std::int16_t> stream = KeyStream(key);
        std::vector<char16_t> block(stream.size());
        // Deciphered in place: what is kept never runs ahead of what has been read.
        char16_t *const units = text.data();
        std::size_t kept = 0;
        bool overflow = false;
        for (std::size_t start = 0; start < text.size(); start += stream.size()) {
            const std::size_t length = std::min(stream.size(), text.size() - start);
            const BlockCount whole =
                DeCryptWhole(units + start, stream.data(), length, block.data());
            overflow |= whole.overflow;
            if (whole.kept == length) {
                std::memmove(units + kept, block.data(), length * sizeof(char16_t));
                kept += length;
            } else {
                kept += DeCryptCompact(units + start, stream.data(), length, units + kept);
            }
        }
        if (overflow)
            Overflow();
        text.resize(kept);
        return std::move(text);
    });
}
