// torvane-cfg's encode on any standard input: it either refuses with nothing written, or
// writes a file that deciphers back to exactly the UTF-8 it was given (after any mark). The UTF-8
// layer alone must give back every input it accepts.
#include "CfgTool.h"
#include "Encryption.h"
#include "PathText.h"
#include "Utf8.h"

#include <cstdint>
#include <cstdlib>
#include <sstream>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const std::string input(reinterpret_cast<const char *>(data), size);
    // A UTF-8 mark before the text is skipped, not enciphered.
    const std::string body = input.starts_with("\xEF\xBB\xBF") ? input.substr(3) : input;
    Utf8Error error;
    const auto text = Utf8ToUtf16(body, &error);
    if (text && Utf8(*text, false) != body)
        std::abort();
    if (!text && (error.offset >= size || error.line == 0 || error.column == 0))
        std::abort();

    for (const bool lossy : {false, true}) {
        std::istringstream in(input);
        std::ostringstream out, err;
        const int status = lossy ? cfgtool::Run({"encode", "--lossy"}, in, out, err)
                                 : cfgtool::Run({"encode"}, in, out, err);
        const std::string file = out.str();
        if (status != cfgtool::Success) {
            if (!file.empty() || err.str().empty())
                std::abort();
            continue;
        }
        if (!text || file.size() != 2 * text->size())
            std::abort();
        std::u16string stored(file.size() / 2, u'\0');
        for (std::size_t i = 0; i < stored.size(); ++i) {
            if (file[2 * i + 1] != 0) // the cipher keeps every unit to 8 bits
                std::abort();
            stored[i] = static_cast<unsigned char>(file[2 * i]);
        }
        if (!lossy && DeCrypt(stored, DocumentKey) != *text)
            std::abort();
    }
    return 0;
}
