// A config file as the devices carry it: read and deciphered to its known text, then
// enciphered and saved back to the same bytes; and what damaged copies read as.
#include "Encryption.h"
#include "ScratchFolder.h"
#include "modUnicodeRW.h"

#include <gtest/gtest.h>

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
