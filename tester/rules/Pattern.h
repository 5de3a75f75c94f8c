#pragma once
// The regular expressions of a sequence file's expectations: ECMAScript syntax without
// back-references and look-arounds, matched in time linear in the value.
//
// std::regex backtracks: a pattern such as ^(a+)+$ or t** takes exponential time on a
// value that almost matches, and it recurses once a character, so a long value can
// overflow the stack. A pattern comes from a hand-written file and a value from a unit,
// and neither may hang a test bench, so the pattern is compiled into a small automaton
// that is run over all its states at once (a Pike machine without captures). The rules
// layer has no Qt, which is why this is not QRegularExpression.

#include <cstdint>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace tester {

class PatternCompiler;

class Pattern
{
public:
    // The compiled `text` (UTF-8), or why it is not a pattern ("a group is not closed").
    static std::variant<Pattern, std::string> Compile(std::string_view text);

    // Whether the pattern is found anywhere in the UTF-8 `value`; `.` and classes take
    // one character, whatever its length in bytes.
    bool IsFoundIn(std::string_view value) const;

    struct Range // of characters, both ends included
    {
        char32_t first;
        char32_t last;
    };

private:
    friend class PatternCompiler;

    enum class Op : std::uint8_t {
        Char,
        Any,
        Class,
        Split,
        Jump,
        Begin,
        End,
        Word,
        NotWord,
        Match
    };
    struct Instruction
    {
        Op op;
        std::uint32_t a = 0; // Char: the character; Class: its index; Split and Jump: target
        std::uint32_t b = 0; // Split: the other target
    };

    std::vector<Instruction> m_program;
    std::vector<std::vector<Range>> m_classes; // sorted, disjoint
};

// The most instructions a pattern may compile into; counted repetition multiplies them.
inline constexpr std::size_t MaxPatternInstructions = 20000;

} // namespace tester
