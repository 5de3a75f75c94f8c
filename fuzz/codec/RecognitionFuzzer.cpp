// The recognition of config files against the format: whatever EnCrypt gives is taken for
// a config file once written, and any other bytes are taken for one exactly when no byte
// at an odd offset is set and no more units are held than a save writes.
//
// Input: the bytes of a file; read again as UTF-16LE, the text a save would encipher.
#include "Encryption.h"
#include "FuzzCheck.h"
#include "Recognition.h"
#include "RunTimeError.h"
#include "Survival.h"
#include "modUnicodeRW.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const std::vector<unsigned char> bytes(data, data + size);
    const std::u16string stored = TextOfBytes(bytes, false);
    bool oddByteSet = false;
    for (std::size_t at = 1; at < size; at += 2)
        oddByteSet |= data[at] != 0;
    Check(LooksEnciphered(stored) == (!oddByteSet && stored.size() <= MaxTextUnits),
          "a file is a config file exactly when its high bytes are clear");

    const std::u16string plain(stored.begin(), stored.end());
    try {
        const std::u16string saved = EnCrypt(plain, DocumentKey);
        std::vector<unsigned char> file;
        for (const char16_t unit : saved) {
            file.push_back(static_cast<unsigned char>(unit & 0xFF));
            file.push_back(static_cast<unsigned char>(unit >> 8));
        }
        Check(LooksEnciphered(TextOfBytes(file, false)), "what a save writes is a config file");
    } catch (const RunTimeError &) {
        // A text the cipher refuses is never written.
    }
    return 0;
}
