#include "Encryption.h"

#include "RunTimeError.h"

#include <algorithm>
#include <cstdint>
#include <new>
#include <vector>

// Builds for processors that may lack the wider vector units carry further copies of the
// cipher's loops compiled for them, one chosen once at run time. Not on Windows: its
// compilers do not align the stack for the spills of 32- and 64-byte registers.
#if (defined(__GNUC__) || defined(__clang__)) && (defined(__x86_64__) || defined(__i386__)) &&     \
    !defined(_WIN32)
#define CIPHER_WIDE_COPIES 1
// The C library's header is C: clang does not take its _Bool in C++.
#if __has_include(<sys/platform/x86.h>) && !defined(__clang__)
#include <sys/platform/x86.h>
#define CIPHER_ASK_LIBC 1
#endif
#define CIPHER_AVX2 [[gnu::target("avx2")]]
// Only GCC takes the vector width in a function's target; without it the 64-byte registers
// are left unused.
#if !defined(__clang__)
#define CIPHER_AVX512 [[gnu::target("avx512bw,prefer-vector-width=512")]]
#endif
#endif

namespace {

// The position counter is 16-bit signed and steps once past the last unit, so 32,767
// units already overflow it.
constexpr std::size_t MaxUnits = 32766;

// Texts are worked in blocks of whole key periods, so every block starts on the same key
// letter and reads its key codes straight from one array. The inner loops then have no
// modulo and no branch, and the compiler vectorises them.
constexpr std::size_t BlockUnits = 2048;

// The single-byte code a key character counts by, after upper-casing. Characters from
// Latin-1 count as their own code (lower-case letters upper-cased, as the Western 8-bit
// code page does); anything else has no single-byte form and counts as '?'.
std::uint16_t KeyCode(char16_t c)
{
    const bool lowerAscii = c >= u'a' && c <= u'z';
    const bool lowerLatin1 = c >= 0xE0 && c <= 0xFE && c != 0xF7;
    if (lowerAscii || lowerLatin1)
        c = static_cast<char16_t>(c - 0x20);
    return static_cast<std::uint16_t>(c < 0x100 ? c : u'?');
}

// stream[j] is the code of the key letter that position (block start + j + 1) uses:
// letter ((j + 1) mod m) + 1, counted from 1. One key period is worked out once and
// repeated, as a division per entry would cost more than the cipher itself.
std::vector<std::uint16_t> KeyStream(const std::u16string &key)
{
    const std::size_t m = key.size();
    std::vector<std::uint16_t> stream(m * std::max<std::size_t>(1, BlockUnits / m));
    for (std::size_t j = 0; j < m; ++j)
        stream[j] = KeyCode(key[(j + 1) % m]);
    // Doubled rather than copied period by period: a few copies instead of hundreds.
    for (std::size_t filled = m; filled < stream.size(); filled *= 2)
        std::copy_n(stream.begin(), std::min(filled, stream.size() - filled),
                    stream.begin() + static_cast<std::ptrdiff_t>(filled));
    return stream;
}

// The loops below keep to unsigned 16-bit lanes so that a vector step takes as many units
// as it can, and they gather what went wrong in flags instead of leaving early. In those
// terms, with 0 <= k < 256: the signed sum u + k passes 32,767 exactly when u has its sign
// bit clear and the wrapped sum has it set; the signed difference u - k falls below
// -32,768 exactly when u has its sign bit set and the wrapped difference has it clear;
// and where it does not, the difference is positive exactly when its wrapped form is
// neither 0 nor has its sign bit set. The low 8 bits of a sum or difference are those of
// its wrapped form.
constexpr std::uint16_t SignBit = 0x8000;

struct Outcome
{
    bool overflow = false;
    bool dropped = false; // some unit deciphered to a difference that is not positive
};

// How many units come before the first one on a 64-byte boundary. The loops below take
// those one by one, so that their wide loads never straddle two cache lines: on a text
// from the heap, 16-byte aligned, three in four would, and that costs more than the
// arithmetic.
inline std::size_t UnitsBeforeBoundary(const char16_t *units, std::size_t length)
{
    const auto offset = static_cast<std::size_t>(reinterpret_cast<std::uintptr_t>(units) % 64);
    return std::min(length, (64 - offset) % 64 / sizeof(char16_t));
}

// Enciphers a block into `out`; returns whether a sum overflowed.
[[gnu::always_inline]] inline bool EnCryptBlock(const char16_t *__restrict units,
                                                const std::uint16_t *__restrict codes,
                                                std::size_t length, char16_t *__restrict out)
{
    std::uint16_t overflow = 0;
    const auto unit = [&](std::size_t j) {
        const std::uint16_t u = units[j];
        const auto sum = static_cast<std::uint16_t>(u + codes[j]);
        overflow |= static_cast<std::uint16_t>(sum & ~u);
        out[j] = static_cast<char16_t>(sum & 0xFF);
    };
    const std::size_t head = UnitsBeforeBoundary(units, length);
    for (std::size_t j = 0; j < head; ++j)
        unit(j);
    for (std::size_t j = head; j < length; ++j)
        unit(j);
    return (overflow & SignBit) != 0;
}

// Deciphers every unit of a block into `out`, kept or not.
[[gnu::always_inline]] inline Outcome DeCryptBlock(const char16_t *__restrict units,
                                                   const std::uint16_t *__restrict codes,
                                                   std::size_t length, char16_t *__restrict out)
{
    std::uint16_t overflow = 0;
    std::uint16_t dropped = 0;
    const auto unit = [&](std::size_t j) {
        const std::uint16_t u = units[j];
        const auto difference = static_cast<std::uint16_t>(u - codes[j]);
        overflow |= static_cast<std::uint16_t>(u & ~difference);
        dropped |= static_cast<std::uint16_t>(difference | (difference - 1));
        out[j] = static_cast<char16_t>(difference & 0xFF);
    };
    const std::size_t head = UnitsBeforeBoundary(units, length);
    for (std::size_t j = 0; j < head; ++j)
        unit(j);
    for (std::size_t j = head; j < length; ++j)
        unit(j);
    return {(overflow & SignBit) != 0, (dropped & SignBit) != 0};
}

using EnCryptLoop = bool (*)(const char16_t *, const std::uint16_t *, std::size_t, char16_t *);
using DeCryptLoop = Outcome (*)(const char16_t *, const std::uint16_t *, std::size_t, char16_t *);

bool EnCryptPlain(const char16_t *units, const std::uint16_t *codes, std::size_t length,
                  char16_t *out)
{
    return EnCryptBlock(units, codes, length, out);
}

Outcome DeCryptPlain(const char16_t *units, const std::uint16_t *codes, std::size_t length,
                     char16_t *out)
{
    return DeCryptBlock(units, codes, length, out);
}

#ifdef CIPHER_WIDE_COPIES
CIPHER_AVX2 bool EnCryptAvx2(const char16_t *units, const std::uint16_t *codes, std::size_t length,
                             char16_t *out)
{
    return EnCryptBlock(units, codes, length, out);
}

CIPHER_AVX2 Outcome DeCryptAvx2(const char16_t *units, const std::uint16_t *codes,
                                std::size_t length, char16_t *out)
{
    return DeCryptBlock(units, codes, length, out);
}
#endif

#ifdef CIPHER_AVX512
CIPHER_AVX512 bool EnCryptAvx512(const char16_t *units, const std::uint16_t *codes,
                                 std::size_t length, char16_t *out)
{
    return EnCryptBlock(units, codes, length, out);
}

CIPHER_AVX512 Outcome DeCryptAvx512(const char16_t *units, const std::uint16_t *codes,
                                    std::size_t length, char16_t *out)
{
    return DeCryptBlock(units, codes, length, out);
}
#endif

enum class Width { Plain, Avx2, Avx512 };

Width VectorWidth()
{
#if defined(CIPHER_ASK_LIBC)
    // What the C library found at start-up, the system's support for the wider registers
    // included. Asking the processor again costs more than a whole file's cipher in a
    // virtual machine, where each question is a trip to the host.
    static const Width width = CPU_FEATURE_ACTIVE(AVX512BW) ? Width::Avx512
                               : CPU_FEATURE_ACTIVE(AVX2)   ? Width::Avx2
                                                            : Width::Plain;
    return width;
#elif defined(CIPHER_WIDE_COPIES)
    static const Width width = __builtin_cpu_supports("avx512bw") ? Width::Avx512
                               : __builtin_cpu_supports("avx2")   ? Width::Avx2
                                                                  : Width::Plain;
    return width;
#else
    return Width::Plain;
#endif
}

EnCryptLoop EnCryptBlocks()
{
    [[maybe_unused]] const Width width = VectorWidth();
#ifdef CIPHER_AVX512
    if (width == Width::Avx512)
        return EnCryptAvx512;
#endif
#ifdef CIPHER_WIDE_COPIES
    if (width != Width::Plain)
        return EnCryptAvx2;
#endif
    return EnCryptPlain;
}

DeCryptLoop DeCryptBlocks()
{
    [[maybe_unused]] const Width width = VectorWidth();
#ifdef CIPHER_AVX512
    if (width == Width::Avx512)
        return DeCryptAvx512;
#endif
#ifdef CIPHER_WIDE_COPIES
    if (width != Width::Plain)
        return DeCryptAvx2;
#endif
    return DeCryptPlain;
}

// Deciphers a block leaving out the units whose difference is not positive. Returns how
// many units it wrote.
std::size_t DeCryptKept(const char16_t *units, const std::uint16_t *codes, std::size_t length,
                        char16_t *out)
{
    std::size_t kept = 0;
    for (std::size_t j = 0; j < length; ++j) {
        const std::int32_t difference = static_cast<std::int16_t>(units[j]) - codes[j];
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

// Both routines grow the result a block at a time, while its lines are still in the
// first-level cache: a result made at its full length at once would cost a whole pass over
// memory for its zeros alone. DeCrypt writes each block straight after the zeros that
// make room for it; EnCrypt copies it on from a buffer of its own.

std::u16string EnCrypt(const std::u16string &text, std::u16string key)
{
    return Trap("EnCrypt", [&]() -> std::u16string {
        if (key.empty())
            return text;
        if (text.size() > MaxUnits)
            Overflow();
        const std::vector<std::uint16_t> stream = KeyStream(key);
        const EnCryptLoop encipher = EnCryptBlocks();
        std::u16string result;
        result.reserve(text.size());
        // Each part is enciphered into a buffer that lies against the cache lines as the
        // text does, so that neither the loads nor the stores of a vector step straddle two
        // lines, and then copied on: the result lies against them as its allocation fell,
        // and stores straddling lines, one a step, made enciphering the slower direction.
        alignas(64) char16_t staging[BlockUnits + 32];
        bool overflow = false;
        for (std::size_t start = 0; start < text.size(); start += stream.size()) {
            const std::size_t length = std::min(stream.size(), text.size() - start);
            // A key longer than a block makes the stream one key long.
            for (std::size_t part = 0; part < length; part += BlockUnits) {
                const char16_t *const units = text.data() + start + part;
                char16_t *const stage =
                    staging + reinterpret_cast<std::uintptr_t>(units) % 64 / sizeof(char16_t);
                const std::size_t partLength = std::min(BlockUnits, length - part);
                overflow |= encipher(units, stream.data() + part, partLength, stage);
                result.append(stage, partLength);
            }
        }
        if (overflow)
            Overflow();
        return result;
    });
}

std::u16string DeCrypt(const std::u16string &text, std::u16string key)
{
    return Trap("DeCrypt", [&]() -> std::u16string {
        if (key.empty())
            return text;
        if (text.size() > MaxUnits)
            Overflow();
        const std::vector<std::uint16_t> stream = KeyStream(key);
        const DeCryptLoop decipher = DeCryptBlocks();
        std::u16string result;
        result.reserve(text.size());
        bool overflow = false;
        for (std::size_t start = 0; start < text.size(); start += stream.size()) {
            const std::size_t length = std::min(stream.size(), text.size() - start);
            const std::size_t at = result.size();
            result.append(length, u'\0');
            const Outcome outcome =
                decipher(text.data() + start, stream.data(), length, result.data() + at);
            overflow |= outcome.overflow;
            // Every unit of any text this editor wrote is kept; only a block that drops
            // some is done again unit by unit.
            if (outcome.dropped)
                result.resize(at + DeCryptKept(text.data() + start, stream.data(), length,
                                               result.data() + at));
        }
        if (overflow)
            Overflow();
        return result;
    });
}
