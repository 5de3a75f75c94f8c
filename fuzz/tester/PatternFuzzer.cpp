// Feeds arbitrary patterns and values to the expectations' matcher: whatever the pattern,
// it compiles or is refused in words, and matching takes time linear in the value (a hang
// fails the run). A printable value, each sign escaped, is a pattern that matches it.

#include "FuzzCheck.h"
#include "Pattern.h"

#include <cstdint>
#include <string>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const std::string_view input(reinterpret_cast<const char *>(data), size);
    const std::size_t newline = input.find('\n');
    const std::string_view pattern = input.substr(0, newline);
    const std::string_view value =
        newline == std::string_view::npos ? std::string_view() : input.substr(newline + 1);
    const auto compiled = tester::Pattern::Compile(pattern);
    if (const auto *why = std::get_if<std::string>(&compiled))
        Check(!why->empty(), "a refusal says why");
    else
        (void)std::get<tester::Pattern>(compiled).IsFoundIn(value);

    std::string literal = "^";
    for (const char c : value) {
        if (c < 0x20 || c > 0x7E)
            return 0;
        const bool alphanumeric =
            (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
        if (!alphanumeric)
            literal += '\\';
        literal += c;
    }
    literal += '$';
    const auto exact = tester::Pattern::Compile(literal);
    const auto *matcher = std::get_if<tester::Pattern>(&exact);
    Check(matcher != nullptr, "a literal compiles");
    Check(matcher->IsFoundIn(value), "a literal matches the value it was made from");
    return 0;
}
