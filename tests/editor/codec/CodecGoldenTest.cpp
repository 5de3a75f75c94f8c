// A config file as the devices carry it: read and deciphered to its known text, then
// enciphered and saved back to the same bytes; and what damaged copies read as.
#include "Encryption.h"
#include "Recognition.h"
#include "ScratchFolder.h"
#include "Survival.h"
#include "modUnicodeRW.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

namespace {

const std::string Fixture = CODEC_TEST_DATA "/settings.cfg";
const std::string FixtureText = CODEC_TEST_DATA "/settings.txt";

std::u16string Widen(const std::string &ascii)
{
    return std::u16string(ascii.begin(), ascii.end());
}

class CodecGolden : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.valid());
        const auto bytes = GetBytes(Fixture);
        const auto text = GetBytes(FixtureText);
        ASSERT_TRUE(bytes && text) << "fixtures missing in " CODEC_TEST_DATA;
        fixture = *bytes;
        plain = Widen(*text);
        ASSERT_EQ(fixture.size(), 2 * plain.size());
    }

    // Reads `bytes` as the editor opens a file.
    std::u16string Open(const std::string &bytes)
    {
        PutBytes(dir.path("in.cfg"), bytes);
        return DeCrypt(ReadUnicodeFile(dir.u16("in.cfg"), false), DocumentKey);
    }

    // Saves `text` as the editor does and returns the file's bytes.
    std::string Save(const std::u16string &text)
    {
        WriteUnicodeFile(dir.u16("out.cfg"), EnCrypt(text, DocumentKey), false);
        return GetBytes(dir.path("out.cfg")).value_or("(no file)");
    }

    ScratchFolder dir;
    std::string fixture;
    std::u16string plain;
};

} // namespace

TEST_F(CodecGolden, TheFixtureOpensToItsTextAndSavesBackByteForByte)
{
    EXPECT_EQ(DeCrypt(ReadUnicodeFile(Widen(Fixture), false), DocumentKey), plain);
    EXPECT_EQ(Save(plain), fixture);
    EXPECT_EQ(Save(Open(Save(plain))), fixture);
}

TEST_F(CodecGolden, AFlippedLowByteChangesExactlyThatCharacter)
{
    std::string damaged = fixture;
    damaged[0] = static_cast<char>(damaged[0] ^ 0x20); // position 1, key letter R
    std::u16string expected = plain;
    expected[0] = char16_t((static_cast<unsigned char>(damaged[0])) - 'R');
    ASSERT_NE(expected, plain);
    EXPECT_EQ(Open(damaged), expected);
}

TEST_F(CodecGolden, ASetHighByteIsLostAndTheTextReadsAsBefore)
{
    std::string damaged = fixture;
    damaged[21] = '\x01';
    EXPECT_EQ(Open(damaged), plain);
    EXPECT_EQ(Save(Open(damaged)), fixture);
}

TEST_F(CodecGolden, AFileCutShortLosesOnlyTheUnitsThatAreGone)
{
    // One byte short: the lone last byte is the whole low byte of the last unit.
    EXPECT_EQ(Open(fixture.substr(0, fixture.size() - 1)), plain);
    EXPECT_EQ(Open(fixture.substr(0, fixture.size() - 2)), plain.substr(0, plain.size() - 1));
    EXPECT_EQ(Open(fixture.substr(0, 17)), plain.substr(0, 9));
    EXPECT_EQ(Open(""), u"");
}

TEST_F(CodecGolden, AnExtraOddByteIsAUnitOfItsOwn)
{
    // Position 214 uses key letter T (84): 0x41 - 84 is not positive and is dropped.
    ASSERT_EQ(plain.size(), 213u);
    EXPECT_EQ(Open(fixture + 'A'), plain);
    EXPECT_EQ(Open(fixture + '\xC0'), plain + char16_t(0xC0 - 84));
}

TEST_F(CodecGolden, EveryFileASaveWritesIsRecognisedAsAConfigFile)
{
    // Units of any value that enciphering accepts, and lengths up to the limit.
    std::mt19937 random(20);
    for (const std::size_t length : {std::size_t{0}, std::size_t{1}, std::size_t{7},
                                     std::size_t{513}, std::size_t{4099}, MaxTextUnits}) {
        std::u16string text(length, u'\0');
        for (char16_t &unit : text) {
            unit = static_cast<char16_t>(random() & (random() % 2 ? 0xFFFF : 0xFF));
            if (unit >= 0x7F00 && unit < 0x8000)
                unit &= 0xFF; // would overflow the cipher; no save writes it
        }
        const std::string bytes = Save(text);
        ASSERT_EQ(bytes.size(), 2 * length);
        EXPECT_TRUE(LooksEnciphered(
            TextOfBytes(std::vector<unsigned char>(bytes.begin(), bytes.end()), false)))
            << length;
    }
}

TEST_F(CodecGolden, FilesThatAreNotConfigFilesAreToldApart)
{
    const std::string ini = "[General]\r\nname=unit 1\r\n";
    const struct
    {
        const char *kind;
        std::string bytes;
        bool config;
    } rows[] = {
        {"the fixture", fixture, true},
        {"the fixture and an odd byte", fixture + 'A', true},
        {"an empty file", "", true},
        {"plain ASCII text", ini, false},
        {"plain text of odd length", ini + "x", false},
        {"UTF-8 with its mark", "\xEF\xBB\xBF" + ini, false},
        {"UTF-16LE with its mark", std::string("\xFF\xFE[\0G\0", 6), false},
        {"UTF-16BE with its mark", std::string("\xFE\xFF\0[\0G", 6), false},
        {"an ELF binary",
         std::string("\x7F"
                     "ELF\x02\x01\x01\0",
                     8),
         false},
        {"a PNG image", std::string("\x89PNG\r\n\x1A\n\0\0\0\rIHDR", 16), false},
        {"a set high byte", fixture.substr(0, 21) + '\x01' + fixture.substr(22), false},
    };
    for (const auto &row : rows)
        EXPECT_EQ(LooksEnciphered(TextOfBytes(
                      std::vector<unsigned char>(row.bytes.begin(), row.bytes.end()), false)),
                  row.config)
            << row.kind;
    EXPECT_FALSE(LooksEnciphered(std::u16string(MaxTextUnits + 1, u'A'))) << "longer than saved";
}
