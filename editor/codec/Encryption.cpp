#include "Encryption.h"

#include "RunTimeError.h"

#include <cstdint>
#include <new>
#include <vector>

namespace {

constexpr std::int32_t MaxUnits = 32766; // a 16-bit counter passes its last unit once more

// The single-byte code a key letter counts by, after upper-casing. ASCII letters are
// their own codes; characters with no single-byte form count as '?', as the 8-bit
// conversion of the platform that defined the format does.
std::vector<std::int32_t> KeyCodes(const std::u16string &key)
{
    std::vector<std::int32_t> codes;
    codes.reserve(key.size());
    for (char16_t c : key) {
        if (c >= u'a' && c <= u'z')
            c = static_cast<char16_t>(c - u'a' + u'A');
        codes.push_back(c < 0x100 ? static_cast<std::int32_t>(c) : std::int32_t{'?'});
    }
    return codes;
}

[[noreturn]] void Raise(const char *source, std::int32_t number, const std::string &cause)
{
    throw RunTimeError(number, std::string(source) + ":" + cause, source);
}

template <typename Body>
std::u16string Trap(const char *source, Body &&body)
{
    try {
        return body();
    } catch (const RunTimeError &e) {
        Raise(source, e.Number, e.Description);
    } catch (const std::bad_alloc &) {
        Raise(source, ErrorNumber::OutOfMemory, "Out of memory");
    }
}

[[noreturn]] void Overflow()
{
    throw RunTimeError(ErrorNumber::Overflow, "Overflow", "");
}

} // namespace

std::u16string EnCrypt(const std::u16string &text, std::u16string key)
{
    return Trap("EnCrypt", [&] {
        const std::vector<std::int32_t> codes = KeyCodes(key);
        if (codes.empty())
            return text;
        if (text.size() > MaxUnits)
            Overflow();
        const std::size_t m = codes.size();
        std::u16string result(text.size(), u'\0');
        bool overflow = false;
        for (std::size_t i = 0; i < text.size(); ++i) {
            const std::int32_t u = static_cast<std::int16_t>(text[i]);
            const std::int32_t s = u + codes[(i + 1) % m];
            overflow |= s > 32767;
            result[i] = static_cast<char16_t>(s & 0xFF);
        }
        if (overflow)
            Overflow();
        return result;
    });
}

std::u16string DeCrypt(std::u16string text, std::u16string key)
{
    return Trap("DeCrypt", [&] {
        const std::vector<std::int32_t> codes = KeyCodes(key);
        if (codes.empty())
            return text;
        if (text.size() > MaxUnits)
            Overflow();
        const std::size_t m = codes.size();
        std::u16string result(text.size(), u'\0');
        std::size_t kept = 0;
        bool overflow = false;
        for (std::size_t i = 0; i < text.size(); ++i) {
            const std::int32_t u = static_cast<std::int16_t>(text[i]);
            const std::int32_t d = u - codes[(i + 1) % m];
            overflow |= d < -32768;
            result[kept] = static_cast<char16_t>(d & 0xFF);
            kept += d > 0 ? 1 : 0;
        }
        if (overflow)
            Overflow();
        result.resize(kept);
        return result;
    });
}
