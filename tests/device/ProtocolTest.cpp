// The line protocol: the page's own examples, escapes, what either side refuses, and
// framing of bytes that come in pieces.
#include "Escape.h"
#include "LineFramer.h"
#include "Lines.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

using namespace protocol;
using namespace std::string_literals;

namespace {

// Every line of the page's ```wire blocks, with its "H: " or "U: " mark.
std::vector<std::string> PageExamples()
{
    std::ifstream page(PROTOCOL_PAGE);
    std::vector<std::string> lines;
    std::string line;
    bool inside = false;
    while (std::getline(page, line)) {
        if (line.rfind("```", 0) == 0)
            inside = line == "```wire";
        else if (inside)
            lines.push_back(line);
    }
    return lines;
}

std::vector<FramedLine> Frame(LineFramer &framer, std::string_view bytes)
{
    framer.Append(bytes);
    std::vector<FramedLine> lines;
    while (auto line = framer.Next())
        lines.push_back(*line);
    return lines;
}

} // namespace

TEST(ProtocolPage, EveryExampleLineReadsAndIsWrittenBackTheSame)
{
    const std::vector<std::string> examples = PageExamples();
    ASSERT_GE(examples.size(), 25u) << "the page's examples were not found";
    for (const std::string &example : examples) {
        ASSERT_GE(example.size(), 4u) << example;
        const std::string wire = example.substr(3);
        if (example.rfind("H: ", 0) == 0) {
            const Result<HostLine> line = ParseHostLine(wire);
            ASSERT_TRUE(line) << example << ": " << line.error();
            EXPECT_EQ(FormatHostLine(line.value()), wire + "\r\n");
        } else {
            ASSERT_EQ(example.rfind("U: ", 0), 0u) << example;
            const Result<UnitLine> line = ParseUnitLine(wire);
            ASSERT_TRUE(line) << example << ": " << line.error();
            EXPECT_EQ(FormatUnitLine(line.value()), wire + "\r\n");
        }
    }
}

TEST(ProtocolPage, ExamplesMeanWhatThePageSays)
{
    struct Case
    {
        std::string wire;
        UnitLine meant;
    };
    const std::vector<Case> cases{
        {"RESP ESN 4A7F19C2\\r\\nOK\\r\\n", UnitText(UnitTag::Response, "ESN 4A7F19C2\r\nOK\r\n")},
        {"ERR GPS\\sData Checksum mismatch, sentence dropped",
         UnitError("GPS Data", "Checksum mismatch, sentence dropped")},
        {"MSG Temperature 21\\xC2\\xB0C", UnitText(UnitTag::Message, "Temperature 21\u00B0C")},
        {"MSG C:\\\\TORVANE\\\\LOG.TXT", UnitText(UnitTag::Message, "C:\\TORVANE\\LOG.TXT")},
        {"STATUS ", UnitText(UnitTag::Status, "")},
        {"ERR Init\\sGPS\\s(step\\s2) Almanac missing",
         UnitError("Init GPS (step 2)", "Almanac missing")},
        {"ERR  no place", UnitError("", "no place")},
        {"PROG -1 0", UnitProgress(-1, 0)},
        {"PROG 2147483647 -2147483648", UnitProgress(2147483647, INT32_MIN)},
        {"PROG -2147483648 0", UnitProgress(INT32_MIN, 0)},
        {"HELLO 1 Torvane TV-200 firmware 4.2", UnitHello(1, "Torvane TV-200 firmware 4.2")},
        {"FIELD Bytes read: 16384", UnitText(UnitTag::Field, "Bytes read: 16384")},
        {"FAIL No fix", UnitText(UnitTag::Fail, "No fix")},
        {"OK", UnitFinal(UnitTag::Ok)},
        {"ABORTED", UnitFinal(UnitTag::Aborted)},
        {"MSG tab\\there \\x00\\x7f", UnitText(UnitTag::Message, "tab\there \0\x7f"s)},
    };
    for (const Case &c : cases) {
        const Result<UnitLine> line = ParseUnitLine(c.wire);
        ASSERT_TRUE(line) << c.wire << ": " << line.error();
        EXPECT_EQ(line.value(), c.meant) << c.wire;
    }
    const std::string longestName(32, 'n');
    const std::vector<std::pair<std::string, HostLine>> hostCases{
        {"SET unit.name Bench 3", Set("unit.name", "Bench 3")},
        {"SET " + longestName + " v", Set(longestName, "v")},
        {"CMD 22", Command(22)},
        {"CMD -2147483648", Command(INT32_MIN)},
        {"HELLO 1", Hello(1)},
        {"ABORT", Abort()},
    };
    for (const auto &[wire, meant] : hostCases) {
        const Result<HostLine> line = ParseHostLine(wire);
        ASSERT_TRUE(line) << wire << ": " << line.error();
        EXPECT_EQ(line.value(), meant) << wire;
    }
}

TEST(Escapes, AnyBytesSurviveTheWireAndStayPrintable)
{
    std::string all;
    for (int byte = 0; byte < 256; ++byte)
        all += static_cast<char>(byte);
    for (const bool last : {true, false}) {
        const std::string wire = EscapeText(all, last);
        for (const char c : wire)
            EXPECT_TRUE(c >= 0x20 && c <= 0x7E) << int(c);
        EXPECT_EQ(wire.find(' ') == std::string::npos, !last);
        EXPECT_EQ(UnescapeText(wire).value(), all);
    }
    EXPECT_EQ(EscapeText("a b\\c\r\n\t\x01\xC3\xA9", false), "a\\sb\\\\c\\r\\n\\t\\x01\\xC3\\xA9");
    EXPECT_EQ(UnescapeText("\\x4a\\x4A").value(), "JJ");
}

TEST(Escapes, BrokenEscapesAreRefused)
{
    for (const std::string wire : {"\\", "a\\q", "\\x", "\\x4", "\\xG0", "\\x4 ", "tab\there"})
        EXPECT_FALSE(UnescapeText(wire)) << wire;
}

TEST(Lines, UnitLinesBreakingThePageAreRefusedWithAReason)
{
    const std::vector<std::string> refused{
        "",                              // empty
        "ok",                            // tags are capitals
        "BOGUS text",                    // unknown tag
        "OK extra",                      // OK takes nothing
        "ABORTED ",                      // not even a space
        "STATUS",                        // a text needs its space
        "MSG a\\qb",                     // unknown escape
        "RESP \\x4",                     // half an escape
        "MSG tab\there",                 // raw control byte
        "MSG caf\xC3\xA9",               // raw non-ASCII
        "PROG 1",                        // one count
        "PROG 1 2 3",                    // three counts
        "PROG 1 x",                      // not a number
        "PROG 1  2",                     // an empty word
        "PROG 2147483648 1",             // out of range
        "PROG -2147483649 1",            // below the lowest
        "PROG 1 -2147483649",            // below the lowest
        "PROG 12345678901 1",            // eleven digits
        "PROG +1 2",                     // no plus sign
        "HELLO x Torvane",               // version not a number
        "HELLO 1",                       // identity missing
        "ERR GPS",                       // text missing
        "ERR G\\q text",                 // bad escape in the place
        "MSG " + std::string(1021, 'a'), // 1025 bytes
    };
    for (const std::string &line : refused) {
        const Result<UnitLine> parsed = ParseUnitLine(line);
        EXPECT_FALSE(parsed) << line;
        if (!parsed) {
            EXPECT_FALSE(parsed.error().empty()) << line;
        }
    }
    EXPECT_TRUE(ParseUnitLine("MSG " + std::string(1020, 'a'))); // exactly 1024 bytes
    EXPECT_EQ(ParseUnitLine("OK extra").error(), "more arguments than allowed in an OK line");
    EXPECT_EQ(ParseUnitLine("ERR GPS").error(), "a missing text in an ERR line");
    EXPECT_EQ(ParseUnitLine("PROG 1").error(), "missing or unreadable counts in a PROG line");
}

TEST(Lines, HostLinesBreakingThePageAreRefused)
{
    const std::vector<std::string> refused{"",
                                           "HELLO",
                                           "HELLO one",
                                           "CMD",
                                           "CMD 1 2",
                                           "CMD -2147483649",
                                           "ABORT now",
                                           "SET",
                                           "SET name",
                                           "SET na!me value",
                                           "SET " + std::string(33, 'n') + " v",
                                           "SET n bad\\escape",
                                           "RUN 1",
                                           "cmd 1"};
    for (const std::string &line : refused)
        EXPECT_FALSE(ParseHostLine(line)) << line;
    EXPECT_EQ(ParseHostLine("SET n ").value(), Set("n", ""));
}

TEST(Lines, EveryLineWrittenReadsBackAsItself)
{
    const std::string awkward = "  a\\b \r\n\t\x01\xE2\x82\xAC end ";
    const std::vector<UnitLine> unitLines{UnitHello(1, awkward),
                                          UnitText(UnitTag::Status, awkward),
                                          UnitText(UnitTag::Message, ""),
                                          UnitText(UnitTag::Response, awkward),
                                          UnitText(UnitTag::Field, awkward),
                                          UnitText(UnitTag::Fail, awkward),
                                          UnitError(awkward, awkward),
                                          UnitError("", ""),
                                          UnitProgress(-5, INT32_MAX),
                                          UnitFinal(UnitTag::Ok),
                                          UnitFinal(UnitTag::Aborted)};
    for (const UnitLine &line : unitLines) {
        const std::string wire = FormatUnitLine(line);
        ASSERT_EQ(wire.substr(wire.size() - 2), "\r\n");
        EXPECT_EQ(ParseUnitLine(wire.substr(0, wire.size() - 2)).value(), line) << wire;
    }
    for (const HostLine &line : {Hello(1), Command(17), Abort(), Set("gps.mode", awkward)}) {
        const std::string wire = FormatHostLine(line);
        EXPECT_EQ(ParseHostLine(wire.substr(0, wire.size() - 2)).value(), line) << wire;
    }
}

TEST(Framer, LinesComeWholeWhateverThePiecesTheBytesCameIn)
{
    // In pieces of one byte, the CR of the longest line comes in one read, its LF in the next.
    const std::string longest(MaxLine, 'L');
    const std::string bytes = "OK\r\nMSG a\r\n\r\nSTATUS b\nPROG 1 2\r\n" + longest + "\r\n" +
                              longest + "+\r\nMSG c\rd\r\nFIE";
    using Line = std::pair<std::string, bool>; // the text, and whether it was overlong
    const std::vector<Line> expected{{"OK", false},       {"MSG a", false},    {"", false},
                                     {"STATUS b", false}, {"PROG 1 2", false}, {longest, false},
                                     {longest, true},     {"MSG c\rd", false}};
    for (const std::size_t piece : {1u, 2u, 3u, 7u, 100u, 1024u}) {
        LineFramer framer;
        std::vector<Line> got;
        for (std::size_t at = 0; at < bytes.size(); at += piece)
            for (const FramedLine &line : Frame(framer, std::string_view(bytes).substr(at, piece)))
                got.emplace_back(line.text, line.overlong);
        EXPECT_EQ(got, expected) << piece;
        EXPECT_EQ(framer.Pending(), 3u);
        framer.Clear();
        EXPECT_TRUE(Frame(framer, "LD x\r\n").at(0).text == "LD x");
    }
}

TEST(Framer, AnOverlongLineIsReportedOnceAndTheNextReadsAgain)
{
    LineFramer framer(8);
    // Exactly at the limit, with and without a CR.
    EXPECT_EQ(Frame(framer, "12345678\r\n").at(0).overlong, false);
    EXPECT_EQ(Frame(framer, "12345678\n").at(0).text, "12345678");

    // Longer, arriving in pieces with no LF in sight: one report, then silence to the LF.
    std::vector<FramedLine> lines = Frame(framer, "ABCDEFGHIJ");
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_TRUE(lines[0].overlong);
    EXPECT_EQ(lines[0].text, "ABCDEFGH");
    EXPECT_TRUE(Frame(framer, std::string(10000, 'x')).empty());
    EXPECT_LE(framer.Pending(), 10u);
    lines = Frame(framer, "yy\r\nOK\r\n");
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].text, "OK");

    // Longer but whole in one piece.
    lines = Frame(framer, "123456789\r\nOK\r\n");
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_TRUE(lines[0].overlong);
    EXPECT_EQ(lines[1].text, "OK");
}

TEST(Visible, ShowsRawBytesReadablyAndShort)
{
    EXPECT_EQ(Visible("MSG \x01\xFF"), "MSG \\x01\\xFF");
    EXPECT_EQ(Visible(std::string(100, 'a'), 10), std::string(10, 'a') + "...");
}
