#include "Tokenize.h"
#include "CommandLine.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using cmdline::JoinArguments;
using cmdline::Tokenize;
using Tokens = std::vector<std::u16string>;

TEST(Tokenize, LinesWithoutTokensGiveOneEmptyElement)
{
    for (const std::u16string line : {u"", u"   ", u" \t;,, ;", u"//x", u"\"a//b\"", u"\"\""})
        EXPECT_EQ(Tokenize(line), Tokens{u""}) << std::string(line.begin(), line.end());
}

TEST(Tokenize, SplitsAtEachSeparator)
{
    EXPECT_EQ(Tokenize(u"a b"), (Tokens{u"a", u"b"}));
    EXPECT_EQ(Tokenize(u"a "), Tokens{u"a"});
    EXPECT_EQ(Tokenize(u"a,b"), (Tokens{u"a", u"b"}));
    EXPECT_EQ(Tokenize(u"a\tb"), (Tokens{u"a", u"b"}));
    EXPECT_EQ(Tokenize(u"  a   b  "), (Tokens{u"a", u"b"}));
}

TEST(Tokenize, QuotesMakeSeparatorsLiteralAndVanish)
{
    EXPECT_EQ(Tokenize(u"\"my file.cfg\" x"), (Tokens{u"my file.cfg", u"x"}));
    EXPECT_EQ(Tokenize(u"ab\"c d\"e"), Tokens{u"abc de"});
    // An unclosed quote still yields its token.
    EXPECT_EQ(Tokenize(u"\"a b"), Tokens{u"a b"});
    EXPECT_EQ(Tokenize(u"\"a;b,c\""), Tokens{u"a;b,c"});
}

TEST(Tokenize, SemicolonClosingATokenEndsTheScan)
{
    EXPECT_EQ(Tokenize(u"a;b"), (Tokens{u"a", u";"}));
    EXPECT_EQ(Tokenize(u"x y;z w"), (Tokens{u"x", u"y", u";"}));
    // After a blank it is only a separator.
    EXPECT_EQ(Tokenize(u"a ;b"), (Tokens{u"a", u"b"}));
}

TEST(Tokenize, TwoSlashesEndTheScanAndDropTheCurrentToken)
{
    EXPECT_EQ(Tokenize(u"a b//c"), Tokens{u"a"});
    EXPECT_EQ(Tokenize(u"a //c"), Tokens{u"a"});
    EXPECT_EQ(Tokenize(u"a/b"), Tokens{u"a/b"});
    EXPECT_EQ(Tokenize(u"a/"), Tokens{u"a/"});
    EXPECT_EQ(Tokenize(u"/a/b/"), Tokens{u"/a/b/"});
}

TEST(Tokenize, ComparesExactly)
{
    // Full-width solidus and typographic quotes are ordinary characters.
    EXPECT_EQ(Tokenize(u"a\uFF0F\uFF0Fb \u201Cc d\u201D"),
              (Tokens{u"a\uFF0F\uFF0Fb", u"\u201Cc", u"d\u201D"}));
}

TEST(JoinArguments, EveryArgumentComesBackAsOneToken)
{
    const std::vector<Tokens> cases{
        {u"a.cfg", u"b.cfg"},
        {u"my file.cfg", u"x"},
        {u"a;b", u"c,d", u"tab\there"},
        {u"odd\"quote", u"next"},
        {u"\"already quoted\"", u"after"},
        {u"a\"b c\"d e", u"f"},
        {u";", u",", u" "},
        {u"-S", u"x.cfg"},
    };
    for (const Tokens &arguments : cases) {
        Tokens expected;
        for (std::u16string argument : arguments) {
            std::erase(argument, u'"');
            expected.push_back(argument);
        }
        EXPECT_EQ(Tokenize(JoinArguments(arguments)), expected)
            << std::string(arguments[0].begin(), arguments[0].end());
    }
}

TEST(JoinArguments, EmptyArgumentsVanish)
{
    EXPECT_EQ(Tokenize(JoinArguments({u"", u"a", u""})), Tokens{u"a"});
    EXPECT_EQ(Tokenize(JoinArguments({})), Tokens{u""});
}

TEST(PlanStartup, SilentSwitchesAreIgnoredInAnyCase)
{
    const auto exists = [](const std::u16string &token) { return token == u"x.cfg"; };
    const cmdline::StartupPlan plan = cmdline::PlanStartup({u"-S", u"x.cfg", u"-SiLeNt"}, exists);
    EXPECT_FALSE(plan.help);
    EXPECT_EQ(plan.files, Tokens{u"x.cfg"});
}

TEST(PlanStartup, HelpSwitchesStopEverythingWhereverTheyStand)
{
    const auto exists = [](const std::u16string &) { return true; };
    for (const Tokens &tokens :
         {Tokens{u"-HELP", u"x.cfg"}, Tokens{u"x.cfg", u"-?"}, Tokens{u"x.cfg", u"-h", u"y.cfg"}}) {
        const cmdline::StartupPlan plan = cmdline::PlanStartup(tokens, exists);
        EXPECT_TRUE(plan.help);
        EXPECT_TRUE(plan.files.empty());
    }
}

TEST(PlanStartup, KeepsExistingFilesAsTypedInOrderTwiceIfNamedTwice)
{
    std::vector<std::u16string> asked;
    const auto exists = [&asked](const std::u16string &token) {
        asked.push_back(token);
        return token != u"missing.cfg";
    };
    const cmdline::StartupPlan plan =
        cmdline::PlanStartup({u"b*.cfg", u"missing.cfg", u"a.cfg", u"b*.cfg"}, exists);
    EXPECT_EQ(plan.files, (Tokens{u"b*.cfg", u"a.cfg", u"b*.cfg"}));
    EXPECT_EQ(asked.size(), 4u);
}

TEST(PlanStartup, TheEmptyTokenIsSearchedButNeverAccepted)
{
    bool searched = false;
    const cmdline::StartupPlan plan =
        cmdline::PlanStartup({u""}, [&searched](const std::u16string &token) {
            searched = token.empty();
            return true;
        });
    EXPECT_TRUE(searched);
    EXPECT_TRUE(plan.files.empty());
    EXPECT_FALSE(plan.help);
}

TEST(AfterProgramName, DropsTheNameAsWindowsFindsItAndTheBlanksAfterIt)
{
    const std::vector<std::pair<std::u16string, std::u16string>> cases = {
        {u"quillon.exe a.cfg b.cfg", u"a.cfg b.cfg"},
        {u"quillon.exe \t -s  \"my file.cfg\" ", u"-s  \"my file.cfg\" "},
        {u"\"C:\\Program Files\\Quillon\\quillon.exe\" x.cfg", u"x.cfg"},
        {u"\"C:\\a b\\q.exe\"x.cfg", u"x.cfg"},
        {u"q.exe", u""},
        {u"\"C:\\never closed x.cfg", u""},
        {u"", u""},
        {u"q.exe a//b;c", u"a//b;c"},
    };
    for (const auto &[line, rest] : cases)
        EXPECT_EQ(cmdline::AfterProgramName(line), rest) << std::string(line.begin(), line.end());
}
