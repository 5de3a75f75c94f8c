// The control's two stored settings as text: the serial settings and the init file.
#include "CommSettings.h"
#include "InitFile.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace protocol;

TEST(CommSettingsText, ReadsEveryValueTheLineCanTake)
{
    struct Case
    {
        std::string text;
        CommSettings settings;
    };
    const std::vector<Case> cases{
        {"115200,8,N,1", {115200, 8, Parity::None, StopBits::One}},
        {"9600,7,E,2", {9600, 7, Parity::Even, StopBits::Two}},
        {"300,5,O,1.5", {300, 5, Parity::Odd, StopBits::OneAndHalf}},
        {"1,6,M,1", {1, 6, Parity::Mark, StopBits::One}},
        {"921600,8,S,2", {921600, 8, Parity::Space, StopBits::Two}},
    };
    for (const Case &c : cases) {
        const Result<CommSettings> parsed = ParseCommSettings(c.text);
        ASSERT_TRUE(parsed) << c.text << ": " << parsed.error();
        EXPECT_EQ(parsed.value(), c.settings) << c.text;
    }
}

TEST(CommSettingsText, SaysWhatIsWrongWithAMalformedValue)
{
    struct Case
    {
        std::string text;
        std::string says;
    };
    const std::vector<Case> cases{
        {"", "expected four values"},
        {"115200,8,N", "found 3"},
        {"115200,8,N,1,", "found 5"},
        {"fast,8,N,1", "the baud rate must be a whole number above 0, not \"fast\""},
        {"0,8,N,1", "above 0"},
        {"-9600,8,N,1", "above 0"},
        {"1234567890,8,N,1", "baud rate"},
        {" 115200,8,N,1", "baud rate"},
        {"115200,9,N,1", "data bits must be 5, 6, 7 or 8, not \"9\""},
        {"115200,4,N,1", "data bits must be 5, 6, 7 or 8, not \"4\""},
        {"115200,,N,1", "data bits"},
        {"115200,8,n,1", "parity must be N, E, O, M or S, not \"n\""},
        {"115200,8,None,1", "parity"},
        {"115200,8,N,3", "stop bits must be 1, 1.5 or 2, not \"3\""},
        {"115200,8,N,1.0", "stop bits"},
        {"115200,8,N,1 ", "stop bits"},
    };
    for (const Case &c : cases) {
        const Result<CommSettings> parsed = ParseCommSettings(c.text);
        ASSERT_FALSE(parsed) << c.text;
        EXPECT_NE(parsed.error().find(c.says), std::string::npos) << parsed.error();
        EXPECT_EQ(parsed.error().rfind("Serial settings \"", 0), 0u) << parsed.error();
    }
}

TEST(InitFileText, ReadsThePageExampleAndItsLooserForms)
{
    const Result<std::vector<Setting>> parsed =
        ParseInitFile("# Bench 3's unit\r\nunit.name = Bench 3\r\n\r\n  ; old\n\tbacklight=40 \n"
                      "timezone =\ngps.mode = warm = yes\nlast-one= x\n" +
                      std::string(32, 'n') + " = ~");
    ASSERT_TRUE(parsed) << parsed.error();
    const std::vector<Setting> expected{{"unit.name", "Bench 3"}, {"backlight", "40"},
                                        {"timezone", ""},         {"gps.mode", "warm = yes"},
                                        {"last-one", "x"},        {std::string(32, 'n'), "~"}};
    EXPECT_EQ(parsed.value(), expected);
    EXPECT_TRUE(ParseInitFile("").value().empty());
    EXPECT_EQ(ParseInitFile("n = caf\xC3\xA9").value().at(0).value, "caf\xC3\xA9");
}

TEST(InitFileText, NamesTheLineAndTheFault)
{
    struct Case
    {
        std::string content;
        std::string says;
    };
    std::string hundredAndOne;
    for (int i = 0; i <= 100; ++i)
        hundredAndOne += "n" + std::to_string(i) + " = 1\n";
    const std::vector<Case> cases{
        {"a = 1\n\nbacklight 40\n", "line 3: expected name = value"},
        {"= 1", "line 1: the name \"\" is not"},
        {"bad name = 1", "line 1: the name \"bad name\""},
        {std::string(33, 'n') + " = 1", "is not 1 to 32"},
        {"n = " + std::string(201, 'v'), "line 1: the value of n is longer than 200 bytes"},
        {"n = a\x01z", "holds a control character"},
        {"n = a\x7Fz", "line 1: the value of n holds a control character"},
        {"n = 1\r\nm = 2\r\nn = 3", "line 3: n is set a second time"},
        {hundredAndOne, "line 101: more than 100 settings"},
        {std::string(64 * 1024 + 1, '#'), "longer than 64 KiB"},
    };
    for (const Case &c : cases) {
        const Result<std::vector<Setting>> parsed = ParseInitFile(c.content);
        ASSERT_FALSE(parsed) << c.says;
        EXPECT_NE(parsed.error().find(c.says), std::string::npos) << parsed.error();
    }
    EXPECT_TRUE(ParseInitFile("n = " + std::string(200, 'v')));
}
