// --help and --version, answered before any window; every other argument left alone.
#include "ProgramInfo.h"

#include <gtest/gtest.h>

#include <sstream>

namespace {

const startup::ProgramInfo Info{"quillon", "1.2.3", "Usage: quillon [FILE]...\n"};

TEST(ProgramInfo, OnlyTheTwoLongOptionsAreAnsweredAndTheFirstWins)
{
    const struct
    {
        std::vector<std::string> arguments;
        bool answered;
        std::string out;
    } cases[] = {
        {{}, false, ""},
        {{"--help"}, true, "Usage: quillon [FILE]...\n"},
        {{"--version"}, true, "quillon 1.2.3\n"},
        {{"a.cfg", "--version", "--help"}, true, "quillon 1.2.3\n"},
        {{"-s", "--help", "b.cfg"}, true, "Usage: quillon [FILE]...\n"},
        // The design's own switches and look-alikes are the program's to handle.
        {{"-h"}, false, ""},
        {{"-help"}, false, ""},
        {{"-?"}, false, ""},
        {{"-s"}, false, ""},
        {{"-silent"}, false, ""},
        {{"--HELP"}, false, ""},
        {{"--help=x"}, false, ""},
        {{"-version"}, false, ""},
        {{"--", "--help"}, false, ""},
        {{"a.cfg", "--", "--version"}, false, ""},
    };
    for (const auto &c : cases) {
        std::ostringstream out;
        EXPECT_EQ(startup::AnswerInfoOption(c.arguments, Info, out), c.answered)
            << testing::PrintToString(c.arguments);
        EXPECT_EQ(out.str(), c.out) << testing::PrintToString(c.arguments);
    }
}

} // namespace
