// EnCrypt and DeCrypt against their rule, restated here unit by unit.
//
// Input: one flag byte (bits 0-3 key length, bit 4 one wide key character per two bytes
// instead of one per byte, bit 5 repeat the text past the length limit), the key, then
// the text as UTF-16LE.
#include "Encryption.h"
#include "FuzzCheck.h"
#include "ReferenceCipher.h"
#include "RunTimeError.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>

namespace {

template <typename Routine>
std::optional<std::u16string> Run(Routine routine, const std::u16string &text,
                                  const std::u16string &key, const std::string &source)
{
    try {
        return routine(text, key);
    } catch (const RunTimeError &e) {
        Check(e.Number == ErrorNumber::Overflow, "only overflow can arise");
        Check(e.Source == source, "source names the routine");
        Check(e.Description == source + ":Overflow", "description is routine:cause");
        return std::nullopt;
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    if (size == 0)
        return 0;
    const unsigned flags = data[0];
    std::size_t at = 1;
    std::u16string key;
    const bool wideKey = flags & 0x10;
    for (unsigned n = flags & 0x0F; n > 0 && at + (wideKey ? 2 : 1) <= size; --n) {
        key.push_back(wideKey ? char16_t(data[at] | (data[at + 1] << 8)) : char16_t(data[at]));
        at += wideKey ? 2 : 1;
    }
    std::u16string text;
    for (; at + 2 <= size; at += 2)
        text.push_back(char16_t(data[at] | (data[at + 1] << 8)));
    if ((flags & 0x20) && !text.empty())
        while (text.size() < 32767 + (flags >> 6))
            text += text.substr(0, 32767 + (flags >> 6) - text.size());

    const std::optional<std::u16string> enciphered = Run(EnCrypt, text, key, "EnCrypt");
    Check(enciphered == reference::EnCrypt(text, key), "EnCrypt follows the rule");
    const std::optional<std::u16string> deciphered = Run(DeCrypt, text, key, "DeCrypt");
    Check(deciphered == reference::DeCrypt(text, key), "DeCrypt follows the rule");

    if (enciphered && !key.empty()) {
        for (const char16_t unit : *enciphered)
            Check(unit <= 0xFF, "EnCrypt never gives a unit above 0xFF");
        // A round trip keeps the low byte of each unit where it is positive and stays
        // below 256 with its key code added, and drops the unit elsewhere.
        std::u16string kept;
        for (std::size_t i = 1; i <= text.size(); ++i) {
            const int low = text[i - 1] & 0xFF;
            if (low > 0 && low + reference::KeyCodeAt(key, i) < 256)
                kept.push_back(char16_t(low));
        }
        Check(Run(DeCrypt, *enciphered, key, "DeCrypt") == kept,
              "round trip keeps the rule's units");
    }
    return 0;
}
