#include "CommandTable.h"
#include "Escaping.h"
#include "Layout.h"
#include "LineBreaks.h"
#include "LogLines.h"
#include "LogTexts.h"
#include "Pattern.h"
#include "PortOption.h"
#include "Progress.h"
#include "RunOptions.h"
#include "Sequence.h"
#include "StampFormat.h"

#include <gtest/gtest.h>

#include <cfenv>
#include <string>
#include <vector>

using namespace tester;

TEST(Escaping, CarriageReturnsAndLineFeedsBecomeMarkers)
{
    EXPECT_EQ(EscapeResponse(u"A\r\nB"), u"A<Cr><Lf>B");
    EXPECT_EQ(EscapeResponse(u"\n\r\r\n"), u"<Lf><Cr><Cr><Lf>");
    EXPECT_EQ(EscapeResponse(u""), u"");
}

TEST(Escaping, EverythingElseIsLeftAlone)
{
    const std::u16string other = u"<Cr> already\t\u2028\u2029\u0000x";
    EXPECT_EQ(EscapeResponse(other), other);
}

TEST(Progress, RoundsHalvesToTheEvenNeighbour)
{
    EXPECT_EQ(ProgressPercent(1, 8), 12);  // 12.5
    EXPECT_EQ(ProgressPercent(3, 8), 38);  // 37.5
    EXPECT_EQ(ProgressPercent(5, 200), 2); // 2.5
    EXPECT_EQ(ProgressPercent(7, 200), 4); // 3.5
    EXPECT_EQ(ProgressPercent(1, 3), 33);
    EXPECT_EQ(ProgressPercent(2, 3), 67);
    EXPECT_EQ(ProgressPercent(100, 100), 100);
}

TEST(Progress, RoundingDoesNotFollowTheFloatingPointMode)
{
    const int old = std::fegetround();
    std::fesetround(FE_UPWARD);
    const auto up = ProgressPercent(1, 8);
    std::fesetround(FE_DOWNWARD);
    const auto down = ProgressPercent(3, 8);
    std::fesetround(old);
    EXPECT_EQ(up, 12);
    EXPECT_EQ(down, 38);
}

TEST(Progress, NoCurrentCountGivesZeroWhateverTheTotal)
{
    EXPECT_EQ(ProgressPercent(0, 8), 0);
    EXPECT_EQ(ProgressPercent(0, 0), 0);
    EXPECT_EQ(ProgressPercent(-4, -1), 0);
    EXPECT_EQ(ProgressPercent(INT32_MIN, 1), 0);
}

TEST(Progress, ReportsWithoutASoundPercentageChangeNothing)
{
    EXPECT_FALSE(ProgressPercent(150, 100)); // above 100
    EXPECT_FALSE(ProgressPercent(101, 100));
    EXPECT_FALSE(ProgressPercent(1, 0));         // would divide by zero
    EXPECT_FALSE(ProgressPercent(5, -3));        // would be negative
    EXPECT_FALSE(ProgressPercent(INT32_MAX, 1)); // does not fit 16 bits
    EXPECT_FALSE(ProgressPercent(INT32_MAX, INT32_MIN));
}

TEST(Layout, DesignSizeGivesTheDesignedPlaces)
{
    TesterLayout layout = DesignLayout();
    FormResize(layout, DesignClientWidth, DesignClientHeight);
    EXPECT_FLOAT_EQ(layout.log.width, 10015);
    EXPECT_FLOAT_EQ(layout.log.height, 5790);
    EXPECT_FLOAT_EQ(layout.log.left, 0);
    EXPECT_FLOAT_EQ(layout.log.top, 600);
    EXPECT_FLOAT_EQ(layout.progress.top, 6440);
    EXPECT_FLOAT_EQ(layout.progress.width, 8390);
    EXPECT_FLOAT_EQ(layout.progress.left, 120);
    EXPECT_FLOAT_EQ(layout.command.width, 8390);
    EXPECT_FLOAT_EQ(layout.command.left, 120);
    EXPECT_FLOAT_EQ(layout.send.left, 8560);
    EXPECT_FLOAT_EQ(layout.send.top, 120);
    EXPECT_FLOAT_EQ(layout.cancel.left, 8560);
    EXPECT_FLOAT_EQ(layout.cancel.top, 6440);
}

TEST(Layout, TooSmallAClientKeepsTheOldSizes)
{
    TesterLayout layout = DesignLayout();
    FormResize(layout, DesignClientWidth, DesignClientHeight);
    FormResize(layout, 200, 1500);
    EXPECT_FLOAT_EQ(layout.log.width, 10015);
    EXPECT_FLOAT_EQ(layout.log.height, 5790);
    // The steps that need no condition still follow the kept sizes.
    EXPECT_FLOAT_EQ(layout.progress.top, 6440);
    EXPECT_FLOAT_EQ(layout.command.width, 8390);
    EXPECT_FLOAT_EQ(layout.send.left, 8560);

    TesterLayout fresh = DesignLayout();
    FormResize(fresh, 0, 0); // minimized
    EXPECT_FLOAT_EQ(fresh.log.width, 10095);
    EXPECT_FLOAT_EQ(fresh.progress.top, 600 + 5655 + 50);
    EXPECT_FLOAT_EQ(fresh.send.left, 120 + 8295 + 50);
}

TEST(Layout, JustAboveTheLimitsTheSizesFollow)
{
    TesterLayout layout = DesignLayout();
    FormResize(layout, 201, 1501);
    EXPECT_FLOAT_EQ(layout.log.width, 1);
    EXPECT_FLOAT_EQ(layout.log.height, 1);
    EXPECT_FLOAT_EQ(layout.progress.top, 651);
    // Send needs 1625 beside the list; with exactly that much the list keeps its width.
    TesterLayout tight = DesignLayout();
    FormResize(tight, 1825, 7290);
    EXPECT_FLOAT_EQ(tight.command.width, 8295);
    FormResize(tight, 1826, 7290);
    EXPECT_FLOAT_EQ(tight.command.width, 1);
    EXPECT_FLOAT_EQ(tight.send.left, 171);
    EXPECT_FLOAT_EQ(tight.cancel.left, 171);
    EXPECT_FLOAT_EQ(tight.progress.width, 1);
}

namespace {

std::u16string Join(const std::vector<Line> &lines)
{
    std::u16string text;
    for (const Line &line : lines) {
        text += BreakText(line.before);
        text += line.text;
    }
    return text;
}

} // namespace

TEST(LineBreaks, EveryKindOfBreakSplitsAndJoinsBack)
{
    const std::u16string text = u"a\r\nb\nc\rd\r\r\ne\n\rf\u2029g\uFDD0h\uFDD1i\u2028j\r\n";
    const std::vector<Line> lines = SplitLines(text);
    ASSERT_EQ(lines.size(), 12u);
    EXPECT_EQ(lines[0].before, LineBreak::None);
    EXPECT_EQ(lines[1].before, LineBreak::CrLf);
    EXPECT_EQ(lines[2].before, LineBreak::Lf);
    EXPECT_EQ(lines[3].before, LineBreak::Cr);
    EXPECT_EQ(lines[4].before, LineBreak::Cr); // "\r" then "\r\n"
    EXPECT_EQ(lines[5].before, LineBreak::CrLf);
    EXPECT_EQ(lines[6].before, LineBreak::Lf); // "\n" then "\r"
    EXPECT_EQ(lines[7].before, LineBreak::Cr);
    EXPECT_EQ(lines[8].before, LineBreak::Paragraph);
    EXPECT_EQ(lines[9].before, LineBreak::FrameStart);
    EXPECT_EQ(lines[10].before, LineBreak::FrameEnd);
    EXPECT_EQ(lines[10].text, u"i\u2028j"); // a line separator stays inside its line
    EXPECT_EQ(lines[11].text, u"");
    EXPECT_EQ(Join(lines), text);
}

TEST(LineBreaks, TextWithoutBreaksIsOneLine)
{
    EXPECT_EQ(SplitLines(u"").size(), 1u);
    const auto lines = SplitLines(u"plain");
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].text, u"plain");
}

TEST(LineBreaks, EachCrLfCrOrLfBecomesOneLineFeed)
{
    struct Case
    {
        std::u16string_view text, expected;
    };
    const Case cases[] = {
        {u"", u""},
        {u"\r\na\r\nb", u"\na\nb"},
        {u"a\rb\nc", u"a\nb\nc"},
        {u"\r\r\n\n\r", u"\n\n\n\n"}, // CR, CR LF, LF, CR
        {u"a\u2029b\uFDD0c\uFDD1d\u2028e", u"a\u2029b\uFDD0c\uFDD1d\u2028e"},
        {u"end\r\n", u"end\n"},
    };
    for (const Case &c : cases)
        EXPECT_EQ(WithLineFeeds(c.text), c.expected);
}

TEST(LineBreaks, UnknownStoredValuesReadAsCrLf)
{
    EXPECT_EQ(BreakFromStored(-1), LineBreak::CrLf); // a paragraph the user made
    EXPECT_EQ(BreakFromStored(0), LineBreak::CrLf);
    EXPECT_EQ(BreakFromStored(7), LineBreak::CrLf);
    EXPECT_EQ(BreakFromStored(2), LineBreak::Lf);
    EXPECT_EQ(BreakFromStored(6), LineBreak::FrameEnd);
}

TEST(StampFormat, TimeZoneFieldAndItsBlankGo)
{
    EXPECT_EQ(WithoutTimeZone(u"h:mm:ss AP t"), u"h:mm:ss AP");
    EXPECT_EQ(WithoutTimeZone(u"HH:mm:ss t"), u"HH:mm:ss");
    EXPECT_EQ(WithoutTimeZone(u"t HH:mm:ss"), u"HH:mm:ss");
    EXPECT_EQ(WithoutTimeZone(u"HH:mm:ss tttt"), u"HH:mm:ss");
    EXPECT_EQ(WithoutTimeZone(u"HH:mm:ss"), u"HH:mm:ss");
    // The blanks some regional formats put there: no-break and narrow no-break spaces.
    EXPECT_EQ(WithoutTimeZone(u"h:mm:ss\u00A0AP\u00A0t"), u"h:mm:ss\u00A0AP");
    EXPECT_EQ(WithoutTimeZone(u"t\u202FHH:mm:ss"), u"HH:mm:ss");
}

TEST(StampFormat, BracketsAndCommaAroundTheZoneGoToo)
{
    EXPECT_EQ(WithoutTimeZone(u"'Klock' H.mm:ss (t)"), u"'Klock' H.mm:ss");
    EXPECT_EQ(WithoutTimeZone(u"APh:mm:ss [t]"), u"APh:mm:ss");
    EXPECT_EQ(WithoutTimeZone(u"h:mm:ss AP, t"), u"h:mm:ss AP");
    EXPECT_EQ(WithoutTimeZone(u"HH:mm:ss, t"), u"HH:mm:ss");
    EXPECT_EQ(WithoutTimeZone(u"(HH:mm)"), u"(HH:mm)"); // brackets without a zone stay
}

TEST(StampFormat, QuotedLettersAreLiteral)
{
    EXPECT_EQ(WithoutTimeZone(u"H 'ót' mm t"), u"H 'ót' mm");
    EXPECT_EQ(WithoutTimeZone(u"h 'o''clock' t"), u"h 'o''clock'");
    EXPECT_EQ(WithFullYear(u"'yy' d.M.yy"), u"'yy' d.M.yyyy");
}

TEST(StampFormat, TwoDigitYearsWiden)
{
    EXPECT_EQ(WithFullYear(u"M/d/yy"), u"M/d/yyyy");
    EXPECT_EQ(WithFullYear(u"dd.MM.yyyy"), u"dd.MM.yyyy");
    EXPECT_EQ(WithFullYear(u"yy/MM/dd"), u"yyyy/MM/dd");
}

TEST(LogTexts, EntriesStartWithTheirLineBreak)
{
    EXPECT_EQ(LogEntry(u"12/7/2026 7:03:40 AM", u"x"), u"\r\n12/7/2026 7:03:40 AM: x");
    EXPECT_EQ(LogEntry(u"12/7/2026 7:03:40 AM", u""), u"\r\n");
    // Line breaks stay breaks; no other control character reaches the log raw.
    EXPECT_EQ(LogEntry(u"T", std::u16string(u"a\0b\x01\tc\x7F\x85\x1B\r\nd", 12)),
              u"\r\nT: a<Nul>b<0x01><Tab>c<0x7F><0x85><0x1B>\r\nd");
    EXPECT_EQ(LogEntry(u"T", u"\x1F \x20\x7E\xA0\u2028"), u"\r\nT: <0x1F>  ~\xA0\u2028");
}

TEST(LogTexts, FixedTextsAroundTheDevicesTexts)
{
    EXPECT_EQ(SendingText(u"Read ESN"), u"Sending Command: \"Read ESN\"");
    EXPECT_EQ(DetailsText(u"F\r\nG"),
              u"These Details were returned: \r\n" + std::u16string(29, u'-') + u"\r\nF\r\nG");
    EXPECT_EQ(ResponseText(u"A\r\nB"), u"Received Response: A<Cr><Lf>B");
    EXPECT_EQ(DeviceErrorText(u"Timeout", u"Read ESN"),
              u"Device Error: Timeout occurred in: Read ESN");
    EXPECT_EQ(DeviceErrorText(u"", u""), u"Device Error:  occurred in: ");
    EXPECT_EQ(FailureStatus(u"No unit"), u"Error: No unit");
    EXPECT_EQ(FailureStatus(std::u16string(u"a\0b", 3)), u"Error: a<Nul>b");
    EXPECT_EQ(SuccessStatus(), u"Success!!!");
    EXPECT_EQ(PercentText(38), u"38%");
    EXPECT_EQ(PercentText(0), u"0%");
}

TEST(CommandTable, NumbersSkipEighteen)
{
    const auto table = CommandTable();
    ASSERT_EQ(table.size(), 21u);
    EXPECT_EQ(table.front().name, u"Read ESN");
    EXPECT_EQ(table.front().number, 1);
    EXPECT_EQ(table.back().name, u"Done");
    EXPECT_EQ(table.back().number, 22);
    EXPECT_EQ(CommandNumberAt(16), 17);
    EXPECT_EQ(CommandNumberAt(17), 19); // "Write System Prefs"
    EXPECT_EQ(table[17].name, u"Write System Prefs");
    for (const Command &command : table)
        EXPECT_NE(command.number, 18);
    EXPECT_FALSE(CommandNumberAt(-1));
    EXPECT_FALSE(CommandNumberAt(21));
}

TEST(PortOption, TakesTheLastPortGivenEitherWay)
{
    struct Case
    {
        std::vector<std::string> arguments;
        std::string port;
        bool refused;
    };
    const std::vector<Case> cases{
        {{}, "", false},
        {{"--port", "/dev/ttyUSB0"}, "/dev/ttyUSB0", false},
        {{"--port=/dev/pts/5"}, "/dev/pts/5", false},
        {{"--port", "/dev/a", "other", "--port=/dev/b"}, "/dev/b", false},
        {{"--", "--port", "/dev/a"}, "", false},
        {{"--portable"}, "", false},
        {{"--port"}, "", true},
        {{"--port="}, "", true},
        {{"--port", "--help"}, "", true},
    };
    for (const Case &c : cases) {
        const PortOption option = FindPortOption(c.arguments);
        EXPECT_EQ(option.port, c.port);
        EXPECT_EQ(!option.error.empty(), c.refused);
        if (c.refused) {
            EXPECT_NE(option.error.find("--port /dev/ttyUSB0"), std::string::npos);
        }
    }
}

TEST(Sequence, ReadsNamesNumbersCommentsAndExpectations)
{
    const Sequence sequence = ReadSequence("bench.seq", "\xEF\xBB\xBF# unit check\r\n"
                                                        "Read ESN  expect ESN ~ ^[0-9A-F]{8}$\r\n"
                                                        "\n"
                                                        "   read  gps\tversion\n"
                                                        "22");
    ASSERT_TRUE(sequence.mistakes.empty()) << sequence.mistakes.front();
    ASSERT_EQ(sequence.steps.size(), 3u);
    EXPECT_EQ(sequence.steps[0].line, 2);
    EXPECT_EQ(sequence.steps[0].number, 1);
    ASSERT_TRUE(sequence.steps[0].expectation);
    EXPECT_EQ(sequence.steps[0].expectation->field, "ESN");
    EXPECT_EQ(sequence.steps[0].expectation->pattern, "^[0-9A-F]{8}$");
    EXPECT_EQ(sequence.steps[1].line, 4);
    EXPECT_EQ(sequence.steps[1].name, "Read GPS Version");
    EXPECT_FALSE(sequence.steps[1].expectation);
    EXPECT_EQ(sequence.steps[2].number, 22);
    EXPECT_EQ(sequence.steps[2].name, "Done");
}

TEST(Sequence, EveryMistakeNamesItsFileAndLine)
{
    const struct
    {
        const char *text;
        const char *mistake;
    } rows[] = {
        {"Read ESN\nRead ESNN\n", "s.seq:2: \"Read ESNN\" is no command of the table."},
        {"18", "s.seq:1: there is no command number 18; the commands are 1 to 17 and 19 to 22."},
        {"Done\n\n0\n", "s.seq:3: there is no command number 0;"},
        {"Read ESN expect ESN", "s.seq:1: expected \"expect FIELD ~ PATTERN\"."},
        {"Read ESN expect ~ x", "s.seq:1: the expectation names no field before \"~\"."},
        {"Read ESN expect ESN ~  ", "s.seq:1: the expectation has no pattern after \"~\"."},
        {"Read ESN expect ESN ~ ([0-9]", "s.seq:1: the pattern \"([0-9]\" is not a regular"},
        {"Read ESN expect ESN ~ ^t**", "s.seq:1: the pattern \"^t**\" is not a regular expression: "
                                       "\"*\" has nothing to repeat."},
        {"Read ESN expect ESN ~ (A)\\1", "s.seq:1: the pattern \"(A)\\1\" is not a regular "
                                         "expression: back-references such as \\1 are not"},
        {"Read ESN expect ESN ~ ((A{999}){999})",
         "s.seq:1: the pattern \"((A{999}){999})\" is not "
         "a regular expression: its counts repeat too much"},
        {" expect ESN ~ x", "s.seq:1: expected a command before \"expect\"."},
        {"Done\nRead\x01ESN", "s.seq:2: the line holds a control character."},
        {"Done\nRead \xC3(", "s.seq:2: the line is not UTF-8 text."},
        {"Done\n\xED\xA0\x80", "s.seq:2: the line is not UTF-8 text."},
        {"# nothing but this\n", "s.seq: the file names no command."},
        {"", "s.seq: the file is empty."},
    };
    for (const auto &row : rows) {
        const Sequence sequence = ReadSequence("s.seq", row.text);
        ASSERT_FALSE(sequence.mistakes.empty()) << row.text;
        EXPECT_EQ(sequence.mistakes.front().rfind(row.mistake, 0), 0u)
            << row.text << " gave: " << sequence.mistakes.front();
    }
    const std::string pattern(MaxPatternBytes + 1, 'a');
    EXPECT_EQ(ReadSequence("s.seq", "Read ESN expect ESN ~ " + pattern).mistakes.size(), 1u);
    const Sequence all = ReadSequence("s.seq", "Nope\nDone\n99\n");
    EXPECT_EQ(all.mistakes.size(), 2u);
    EXPECT_EQ(all.mistakes.back().rfind("s.seq:3:", 0), 0u);
}

TEST(Pattern, FindsWhatTheLanguageFindsAndRefusesWhatItCannotMatchQuickly)
{
    const struct
    {
        const char *pattern;
        const char *value;
        bool found;
    } rows[] = {
        {"4A7F", "ESN 4A7F19C2", true},
        {"^4A7F$", "4A7F19C2", false},
        {"^$", "", true},
        {"x|", "abc", true},
        {"^(?:ab|c)+$", "abcab", true},
        {"^(?:ab|c)+$", "abca", false},
        {"^a{2}$", "aaa", false},
        {"^a{2,}$", "aaaa", true},
        {"^a{1,2}b", "aaab", false},
        {"^a*?b+?$", "aabb", true},
        {"^[^0-9]+$", "Åsa", true},
        {"^[a-c-]+$", "b-a", true},
        {"^[\\d.]+$", "1.07", true},
        {"^[\\D]$", "7", false},
        {"^\\w+\\s\\S$", "Bytes_1 x", true},
        {"\\W", "abc_9", false},
        {"\\bread\\b", "Bytes read: 16", true},
        {"\\bread\\b", "unread", false},
        {"\\Bread", "unread", true},
        {"^\\x41\\u00C5\\.\\t$", "AÅ.\t", true},
        {"^\\cI\\/\\-$", "\t/-", true},
        {"[\\b]", "\b", true},
        {"^.$", "\xF0\x9F\x94\x8B", true},
        {"^..$", "\xC3", false},
        {"(a*)*b", "aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaa", false},
        {"^[]$", "", false},
        {"^[^]$", "\n", true},
        {".", "\n", false},
        {"]}", "]}", true},
        {"^ab+$", "a", false},
    };
    for (const auto &row : rows) {
        const auto compiled = Pattern::Compile(row.pattern);
        ASSERT_TRUE(std::holds_alternative<Pattern>(compiled))
            << row.pattern << ": " << std::get<std::string>(compiled);
        EXPECT_EQ(std::get<Pattern>(compiled).IsFoundIn(row.value), row.found)
            << row.pattern << " in " << row.value;
    }
    const struct
    {
        const char *pattern;
        const char *why;
    } refused[] = {
        {"(?=a)", "look-arounds and named groups are not supported."},
        {"(a)\\1", "back-references such as \\1 are not supported."},
        {"\\01", "octal escapes such as \\01 are not supported."},
        {"a{2", "a \"{\" starts no count such as {2} or {1,3}."},
        {"a{3,2}", "the count's smaller number comes second."},
        {"a+*", "\"*\" has nothing to repeat."},
        {"$?", "\"?\" has nothing to repeat."},
        {"[b-a]", "a range in a class runs backwards."},
        {"[\\w-z]", "a range in a class ends in a class such as \\d."},
        {"a)", "a \")\" closes no group."},
        {"\\q", "\\q is no escape."},
        {"\\x4G", "\\x needs two hexadecimal digits."},
        {"\\c1", "\\c needs a letter."},
        {"a\\", "it ends in a \"\\\"."},
        {"\xC3(", "it is not UTF-8 text."},
        {"(a{200}){101}", "its counts repeat too much to be checked quickly."},
    };
    for (const auto &row : refused) {
        const auto compiled = Pattern::Compile(row.pattern);
        ASSERT_TRUE(std::holds_alternative<std::string>(compiled)) << row.pattern;
        EXPECT_EQ(std::get<std::string>(compiled), row.why) << row.pattern;
    }
}

TEST(Sequence, ExpectationsAreCheckedAgainstTheFieldWithTheirLabel)
{
    const Expectation esn{"ESN", "^[0-9A-F]{8}$"};
    const Expectation bytes{"Bytes read", "^16384$"};
    // Nested repetition that a backtracking matcher takes exponential time over.
    const Expectation nested{"ESN", "^(A+)+$"};
    const Expectation owner{"Owner", "^.{3}\\b(?:,| |[^\\d\\s])*\\u00e9e$"};
    const struct
    {
        const Expectation &expectation;
        const char *fields;
        const char *failure; // nullptr: met
    } rows[] = {
        {esn, "ESN: 4A7F19C2", nullptr},
        {esn, "ESN: 4a7f19c2", "ESN is \"4a7f19c2\", which does not match ^[0-9A-F]{8}$"},
        {esn, "ESN: 4A7F19C2X", "ESN is \"4A7F19C2X\", which does not match ^[0-9A-F]{8}$"},
        {esn, "", "the unit returned no field ESN"},
        {esn, "ESNX: 4A7F19C2", "the unit returned no field ESN"},
        {bytes, "Checksum: 3C5A\r\nBytes read: 16384", nullptr},
        {bytes, "Bytes read: 163840\r\nChecksum: 3C5A", "Bytes read is \"163840\", which does"},
        {nested, "ESN: AAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAB", "ESN is"},
        {nested, "ESN: AAAA", nullptr},
        {owner, "Owner: Åsa, Renée", nullptr}, // a character, not a byte, to each "."
        {owner, "Owner: Åsa, 2 Renée", "Owner is \"Åsa, 2 Renée\", which does not match"},
        {owner, "Owner: Åsab Renée", "Owner is"},
    };
    for (const auto &row : rows) {
        const std::optional<std::string> failure = CheckExpectation(row.expectation, row.fields);
        if (!row.failure)
            EXPECT_FALSE(failure) << row.fields << ": " << *failure;
        else
            EXPECT_EQ(failure.value_or("").rfind(row.failure, 0), 0u) << row.fields;
    }
}

TEST(RunOptions, RunOptionsAndTheirMistakes)
{
    const struct
    {
        std::vector<std::string> arguments;
        bool run;
        const char *error; // "" when none
    } rows[] = {
        {{"--run", "a.seq", "--port=/dev/ttyUSB0", "--simulate", "--keep-going", "--report",
          "r.json", "--report-format", "json", "--record-dir", "rec"},
         true,
         ""},
        {{"--port", "/dev/ttyUSB0"}, false, ""},
        {{"--report", "r.xml"}, false, "--report works only with --run FILE"},
        {{"--simulate"}, false, "--simulate works only with --run FILE"},
        {{"--run"}, false, "--run needs a value"},
        {{"--port"}, false, "--port needs the unit's serial port, for example --port /dev/ttyUSB0"},
        {{"--run", "--simulate"}, false, "--run needs a value"},
        {{"--run", "a.seq", "--report-format", "xml"},
         false,
         "--report-format is junit or json, not \"xml\""},
        {{"--run", "a.seq", "-style", "x"}, false, "unknown option \"-style\" with --run"},
    };
    for (const auto &row : rows) {
        const RunOptions options = FindRunOptions(row.arguments);
        EXPECT_EQ(options.run, row.run) << row.error;
        EXPECT_EQ(options.error, row.error);
    }
    const RunOptions all = FindRunOptions(rows[0].arguments);
    EXPECT_EQ(all.sequence, "a.seq");
    EXPECT_EQ(all.port, "/dev/ttyUSB0");
    EXPECT_TRUE(all.simulate && all.keepGoing);
    EXPECT_EQ(all.format, ReportFormat::Json);
    EXPECT_EQ(all.report, "r.json");
    EXPECT_EQ(all.recordDir, "rec");
}

TEST(RunOptions, ARecordFolderIsTheEsnOnlyWhenItIsASafeName)
{
    const struct
    {
        std::u16string_view fields;
        const char *folder;
    } rows[] = {
        {u"ESN: 4A7F19C2", "4A7F19C2"}, {u"Model: TV-200\r\nESN: ab_12-x", "ab_12-x"},
        {u"ESN: ../../etc", "unknown"}, {u"ESN: 4A7F 19C2", "unknown"},
        {u"ESN: ", "unknown"},          {u"XESN: 4A7F19C2", "unknown"},
        {u"ESN: \u00c44", "unknown"},   {u"", "unknown"},
    };
    for (const auto &row : rows)
        EXPECT_EQ(RecordFolder(row.fields), row.folder);
    EXPECT_EQ(RecordFolder(u"ESN: " + std::u16string(65, u'A')), "unknown");
}

TEST(LogLines, ReplacingKeepsTheCutLinesBreakAndOpensNewLinesWithCrLf)
{
    struct Row
    {
        LogPosition from;
        LogPosition to;
        std::u16string text;
        std::u16string expected;
        LogPosition after;
    };
    const std::u16string start = u"\r\nab\ncd\ref";
    const Row rows[] = {
        {{2, 1}, {2, 1}, u"\n", u"\r\nab\nc\r\nd\ref", {3, 0}},
        {{1, 2}, {2, 0}, u"", u"\r\nabcd\ref", {1, 2}},
        {{3, 1}, {1, 1}, u"X", u"\r\naXf", {1, 2}}, // either order of the ends
        {{2, 0}, {2, 2}, u"1\r2\u20293", u"\r\nab\n1\r\n2\r\n3\ref", {4, 1}},
        {{9, 9}, {9, 9}, u"!", u"\r\nab\ncd\ref!", {3, 3}}, // past the end is the end
    };
    for (const Row &row : rows) {
        LogLines lines;
        lines.Append(start);
        const LogPosition after = lines.Replace(row.from, row.to, row.text);
        EXPECT_EQ(lines.Text(), row.expected);
        EXPECT_EQ(after, row.after);
        EXPECT_EQ(lines.End(), lines.Clamp({99, 99}));
    }
}

TEST(LogLines, EveryUnitReadsBackThroughUtf8)
{
    std::u16string every;
    for (char32_t unit = 1; unit <= 0xFFFF; ++unit)
        if (unit != u'\r' && unit != u'\n' && unit != 0x2029 && unit != 0xFDD0 && unit != 0xFDD1)
            every += static_cast<char16_t>(unit);
    every += u"\U0001F600\xDBFF\xDFFF"; // pairs, after the halves alone above
    EXPECT_EQ(Utf8Length(u"a\u00E9\u20AC\U0001F600\xD800"), 1u + 2 + 3 + 4 + 3);
    LogLines lines;
    lines.Append(every);
    lines.Append(u"\r\n" + every);
    EXPECT_EQ(lines.LineCount(), 2u);
    EXPECT_EQ(lines.Line(1), every);
    EXPECT_EQ(lines.Text(), every + u"\r\n" + every);
    EXPECT_EQ(lines.Text({0, 1}, {1, 2}, u"\n"), every.substr(1) + u"\n" + every.substr(0, 2));
}
