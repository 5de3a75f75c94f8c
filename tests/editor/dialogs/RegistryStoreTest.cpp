#include "RegistryStore.h"
#include "RegistryValue.h"

#include <gtest/gtest.h>

#include <string>

using registry::RegistryStore;
using registry::StoredValue;

namespace {

std::string Bytes(const StoredValue *value)
{
    return value ? value->bytes : std::string("<missing>");
}

} // namespace

TEST(RegistryStore, ReadsEachKindOfValue)
{
    const RegistryStore store =
        RegistryStore::Parse("[HKEY_LOCAL_MACHINE\\SOFTWARE\\Tools]\n"
                             "\"Path\"=\"C:\\\\Program Files\\\\x \\\"y\\\".exe\"\n"
                             "\"Zero\"=\"ab\\0cd\"\n"
                             "\"Count\"=dword:0000012a\n"
                             "\"Raw\"=hex(7):01,ff,00\n"
                             "\"Bin\"=hex:\n"
                             "@=\"unnamed\"\n");
    EXPECT_TRUE(store.Problems().empty());

    const StoredValue *path = store.Find("SOFTWARE\\Tools", "Path");
    ASSERT_NE(path, nullptr);
    EXPECT_EQ(path->type, registry::TypeText);
    // Text keeps the closing zero the registry stores with it.
    EXPECT_EQ(path->bytes, std::string("C:\\Program Files\\x \"y\".exe\0", 27));

    EXPECT_EQ(Bytes(store.Find("SOFTWARE\\Tools", "Zero")), std::string("ab\0cd\0", 6));

    const StoredValue *count = store.Find("SOFTWARE\\Tools", "Count");
    ASSERT_NE(count, nullptr);
    EXPECT_EQ(count->type, registry::TypeNumber);
    EXPECT_EQ(count->bytes, std::string("\x2a\x01\0\0", 4)); // low byte first

    const StoredValue *raw = store.Find("SOFTWARE\\Tools", "Raw");
    ASSERT_NE(raw, nullptr);
    EXPECT_EQ(raw->type, 7u);
    EXPECT_EQ(raw->bytes, std::string("\x01\xff\0", 3));

    const StoredValue *bin = store.Find("SOFTWARE\\Tools", "Bin");
    ASSERT_NE(bin, nullptr);
    EXPECT_EQ(bin->type, 3u);
    EXPECT_TRUE(bin->bytes.empty());

    EXPECT_EQ(Bytes(store.Find("SOFTWARE\\Tools", "")), std::string("unnamed\0", 8));
}

TEST(RegistryStore, MatchesKeysAndNamesWithoutCaseAndLaterLinesWin)
{
    const RegistryStore store =
        RegistryStore::Parse("[hkey_local_machine\\Software\\Shared Tools\\MSINFO]\n"
                             "\"PATH\"=\"first\"\n"
                             "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Other]\n"
                             "\"PATH\"=\"other\"\n"
                             "[HKEY_LOCAL_MACHINE\\SOFTWARE\\SHARED TOOLS\\msinfo]\n"
                             "\"path\"=\"second\"\n");
    EXPECT_TRUE(store.HasKey("SOFTWARE\\Shared Tools\\MSINFO"));
    EXPECT_EQ(Bytes(store.Find("SOFTWARE\\Shared Tools\\MSINFO", "Path")),
              std::string("second\0", 7));
    EXPECT_EQ(Bytes(store.Find("software\\microsoft\\other", "path")), std::string("other\0", 6));
    // Paths are not trimmed or rewritten: a near miss is a miss.
    EXPECT_EQ(store.Find("SOFTWARE\\Shared Tools\\MSINFO\\", "PATH"), nullptr);
    EXPECT_EQ(store.Find("SOFTWARE/Shared Tools/MSINFO", "PATH"), nullptr);
    EXPECT_EQ(store.Find("SOFTWARE\\Shared Tools\\MSINFO", "MSINFO"), nullptr);
    EXPECT_FALSE(store.HasKey("SOFTWARE"));
}

TEST(RegistryStore, ToleratesCommentsBlankLinesCrLfAndAByteOrderMark)
{
    const RegistryStore store = RegistryStore::Parse("\xEF\xBB\xBF; the machine's entries\r\n"
                                                     "\r\n"
                                                     "# another comment\r\n"
                                                     "  [HKEY_LOCAL_MACHINE\\A]  \r\n"
                                                     "\t\"v\" = \"x\"\t\r\n"
                                                     "\"n\"=dword: ff\r\n");
    EXPECT_TRUE(store.Problems().empty());
    EXPECT_EQ(Bytes(store.Find("A", "v")), std::string("x\0", 2));
    EXPECT_EQ(Bytes(store.Find("A", "n")), std::string("\xff\0\0\0", 4));
}

TEST(RegistryStore, SkipsUnreadableLinesAndKeepsTheRest)
{
    const RegistryStore store =
        RegistryStore::Parse("\"early\"=\"before any key\"\n"            // 1
                             "[HKEY_CURRENT_USER\\Software\\X]\n"        // 2
                             "\"quiet\"=\"under a refused key\"\n"       // 3
                             "[HKEY_LOCAL_MACHINE\\Good]\n"              // 4
                             "\"ok\"=\"yes\"\n"                          // 5
                             "\"open\"=\"no closing quote\n"             // 6
                             "\"esc\"=\"bad \\q escape\"\n"              // 7
                             "\"tail\"=\"x\" junk\n"                     // 8
                             "\"big\"=dword:123456789\n"                 // 9
                             "\"odd\"=hex:1,02\n"                        // 10
                             "\"type\"=hex(zz):01\n"                     // 11
                             "\"what\"=sz:abc\n"                         // 12
                             "\"noeq\" \"x\"\n"                          // 13
                             "plain words\n"                             // 14
                             "[HKEY_LOCAL_MACHINE\\Unclosed\n"           // 15
                             "\"lost\"=\"under an unreadable header\"\n" // 16
                             "[HKEY_LOCAL_MACHINE]\n"                    // 17
                             "[HKEY_LOCAL_MACHINE\\Good]\n"              // 18
                             "\"last\"=dword:1\n");                      // 19
    std::vector<std::size_t> lines;
    for (const registry::StoreProblem &problem : store.Problems()) {
        lines.push_back(problem.line);
        EXPECT_FALSE(problem.what.empty());
    }
    EXPECT_EQ(lines, (std::vector<std::size_t>{1, 2, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 17}));

    EXPECT_EQ(Bytes(store.Find("Good", "ok")), std::string("yes\0", 4));
    EXPECT_NE(store.Find("Good", "last"), nullptr);
    EXPECT_FALSE(store.HasKey("Software\\X"));
    EXPECT_EQ(store.Find("Unclosed", "lost"), nullptr);
    for (const char *name : {"open", "esc", "tail", "big", "odd", "type", "what", "noeq"})
        EXPECT_EQ(store.Find("Good", name), nullptr) << name;
}

TEST(RegistryValue, TextIsCutAtItsFirstZeroCharacter)
{
    std::string result = "stale";
    registry::SetResultFromValue(registry::TypeText, std::string("C:\\a\0b\0", 7), result);
    EXPECT_EQ(result, "C:\\a");
    registry::SetResultFromValue(registry::TypeText, std::string("\0abc", 4), result);
    EXPECT_EQ(result, "");
    // Text that fills the buffer without a closing zero is taken whole.
    registry::SetResultFromValue(registry::TypeText, std::string(1024, 'x'), result);
    EXPECT_EQ(result, std::string(1024, 'x'));
}

TEST(RegistryValue, NumbersBecomeAmpersandHHex)
{
    std::string result;
    registry::SetResultFromValue(registry::TypeNumber, std::string("\x2a\0\0\0", 4), result);
    EXPECT_EQ(result, "&h2A");
    // A zero byte inside the number does not cut it short.
    registry::SetResultFromValue(registry::TypeNumber, std::string("\0\x01\0\0", 4), result);
    EXPECT_EQ(result, "&h100");
    registry::SetResultFromValue(registry::TypeNumber, std::string("\xff\xff\xff\xff", 4), result);
    EXPECT_EQ(result, "&hFFFFFFFF");
    registry::SetResultFromValue(registry::TypeNumber, std::string(4, '\0'), result);
    EXPECT_EQ(result, "&h0");
    registry::SetResultFromValue(registry::TypeNumber, std::string("\x10", 1), result);
    EXPECT_EQ(result, "&h10");
}

TEST(RegistryValue, OtherTypesLeaveTheResultAsItWas)
{
    std::string result = "kept";
    registry::SetResultFromValue(3, std::string("\x01\x02", 2), result);
    EXPECT_EQ(result, "kept");
    registry::SetResultFromValue(7, std::string("a\0b\0\0", 5), result);
    EXPECT_EQ(result, "kept");
}
