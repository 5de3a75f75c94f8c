#pragma once
// A sequence file: the commands a test bench runs on each unit, one a line, by the name
// the command box shows or by number, each with an optional expectation on a returned
// field. The reader checks everything it can before a unit is touched, so a run never
// stops half way over a typing mistake; docs/sequences.md describes the format.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tester {

// `expect FIELD ~ PATTERN`: the returned field labelled FIELD ("ESN" in "ESN: 4A7F19C2")
// has a value in which PATTERN (an ECMAScript regular expression) is found.
struct Expectation
{
    std::string field;
    std::string pattern;
};

struct SequenceStep
{
    int line = 0; // 1-based, in the file
    std::int32_t number = 0;
    std::string name; // the command's name as the command box shows it
    std::optional<Expectation> expectation;
};

struct Sequence
{
    std::vector<SequenceStep> steps;
    // Each "FILE:LINE: what is wrong", in the order of the file; empty when it parsed.
    std::vector<std::string> mistakes;
};

inline constexpr std::size_t MaxSequenceBytes = 1024 * 1024;
inline constexpr std::size_t MaxPatternBytes = 256;

// Reads the UTF-8 `text` of the file called `fileName` (used only in the mistakes).
Sequence ReadSequence(std::string_view fileName, std::string_view text);

// Why `expectation` is not met by a command's returned `fieldText` (fields joined by
// CR LF), or nothing when it is.
std::optional<std::string> CheckExpectation(const Expectation &expectation,
                                            std::string_view fieldText);

} // namespace tester
