#include "Tokenize.h"

namespace cmdline {

namespace {

bool IsSeparator(char16_t c)
{
    return c == u' ' || c == u'\t' || c == u';' || c == u',';
}

} // namespace

std::vector<std::u16string> Tokenize(const std::u16string &line)
{
    // Slot 0 exists from the start and is overwritten by the first token, so a line
    // without tokens yields the one empty element.
    std::vector<std::u16string> tokens(1);
    std::size_t stored = 0;
    std::u16string current;
    bool inQuotes = false;

    const auto store = [&tokens, &stored](std::u16string token) {
        if (tokens.size() < stored + 1)
            tokens.resize(stored + 1);
        tokens[stored] = std::move(token);
    };

    const std::size_t length = line.size();
    for (std::size_t i = 0; i < length; ++i) {
        const char16_t c = line[i];
        if (IsSeparator(c)) {
            if (inQuotes) {
                current += c;
            } else if (!current.empty()) {
                store(std::move(current));
                current.clear();
                ++stored;
                if (c == u';') {
                    store(u";");
                    return tokens;
                }
            }
        } else if (c == u'/') {
            if (i + 1 < length && line[i + 1] == u'/')
                return tokens;
            current += c;
        } else if (c == u'"') {
            inQuotes = !inQuotes;
        } else {
            current += c;
        }
        // The last token is stored even inside an unclosed quote.
        if (i + 1 == length && !current.empty())
            store(current);
    }
    return tokens;
}

} // namespace cmdline
