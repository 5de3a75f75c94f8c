// Feeds arbitrary bytes to the sequence reader: it must never crash or hang, every
// mistake must name the file, and whatever it accepts must be a runnable sequence.

#include "CommandTable.h"
#include "Sequence.h"

#include <cstdint>
#include <cstdlib>
#include <string_view>

namespace {

void Check(bool condition)
{
    if (!condition)
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char *>(data), size);
    const tester::Sequence sequence = tester::ReadSequence("f.seq", text);
    for (const std::string &mistake : sequence.mistakes)
        Check(mistake.rfind("f.seq", 0) == 0);
    if (!sequence.mistakes.empty())
        return 0;
    Check(!sequence.steps.empty());
    int line = 0;
    for (const tester::SequenceStep &step : sequence.steps) {
        Check(step.line > line);
        line = step.line;
        bool known = false;
        for (const tester::Command &command : tester::CommandTable())
            known = known || command.number == step.number;
        Check(known);
        // An accepted pattern compiles again when the run checks its field.
        if (step.expectation)
            (void)tester::CheckExpectation(*step.expectation, "ESN: 4A7F19C2\r\nX: y");
    }
    return 0;
}
