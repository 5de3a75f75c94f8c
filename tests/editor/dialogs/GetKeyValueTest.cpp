#include "GetKeyValue.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

namespace fs = std::filesystem;

namespace {

// A scratch folder for store files, and GetKeyValue pointed at a store file in it.
class GetKeyValueTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        const auto *info = ::testing::UnitTest::GetInstance()->current_test_info();
        m_dir = fs::temp_directory_path() /
                ("quillon-registry-" + std::to_string(::getpid()) + "-" + info->name());
        fs::remove_all(m_dir);
        fs::create_directories(m_dir);
        m_store = (m_dir / "machine-registry.conf").string();
        registry::SetStoreFilePath(m_store);
    }

    void TearDown() override
    {
        registry::SetStoreFilePath({});
        std::error_code ignored;
        fs::remove_all(m_dir, ignored);
    }

    void WriteStore(const std::string &text, const fs::path &path = {})
    {
        std::ofstream file(path.empty() ? fs::path(m_store) : path, std::ios::binary);
        file << text;
    }

    static bool Read(const std::string &key, const std::string &value, std::string &result)
    {
        return GetKeyValue(registry::MachineRoot(), key, value, result);
    }

    fs::path m_dir;
    std::string m_store;
};

const char *const Key = "SOFTWARE\\Microsoft\\Shared Tools\\MSINFO";

} // namespace

TEST_F(GetKeyValueTest, ReadsTextAndCutsItAtAZeroCharacter)
{
    WriteStore("[HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Shared Tools\\MSINFO]\n"
               "\"PATH\"=\"C:\\\\PROGRA~1\\\\msinfo32.exe\"\n"
               "\"Cut\"=\"/usr/bin/tool\\0 --rest\"\n");
    std::string result;
    EXPECT_TRUE(Read(Key, "PATH", result));
    EXPECT_EQ(result, "C:\\PROGRA~1\\msinfo32.exe");
    EXPECT_TRUE(Read(Key, "cut", result));
    EXPECT_EQ(result, "/usr/bin/tool");
}

TEST_F(GetKeyValueTest, MissingStoreKeyOrValueGivesFalseAndEmptyText)
{
    std::string result = "stale";
    EXPECT_FALSE(Read(Key, "PATH", result)); // no store file at all
    EXPECT_EQ(result, "");

    WriteStore("[HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Shared Tools\\MSINFO]\n"
               "\"PATH\"=\"x\"\n");
    result = "stale";
    EXPECT_FALSE(Read("SOFTWARE\\Microsoft\\Shared Tools Location", "MSINFO", result));
    EXPECT_EQ(result, "");
    result = "stale";
    EXPECT_FALSE(Read(Key, "MSINFO", result));
    EXPECT_EQ(result, "");

    // A folder where the file should be is no store either.
    fs::remove(m_store);
    fs::create_directories(m_store);
    result = "stale";
    EXPECT_FALSE(Read(Key, "PATH", result));
    EXPECT_EQ(result, "");
}

TEST_F(GetKeyValueTest, AValueLongerThanTheBufferCountsAsMissing)
{
    // Text is stored with its closing zero: 1,023 bytes of text fill the 1,024 exactly.
    WriteStore(
        "[HKEY_LOCAL_MACHINE\\Big]\n"
        "\"Fits\"=\"" +
        std::string(1023, 'a') +
        "\"\n"
        "\"TooLong\"=\"" +
        std::string(1024, 'b') +
        "\"\n"
        "\"RawFits\"=hex(1):" +
        [] {
            std::string pairs;
            for (int i = 0; i < 1024; ++i)
                pairs += i ? ",41" : "41";
            return pairs;
        }() +
        "\n"
        "\"RawTooLong\"=hex(1):" +
        [] {
            std::string pairs;
            for (int i = 0; i < 1025; ++i)
                pairs += i ? ",41" : "41";
            return pairs;
        }() +
        "\n");
    std::string result;
    EXPECT_TRUE(Read("Big", "Fits", result));
    EXPECT_EQ(result, std::string(1023, 'a'));
    result = "stale";
    EXPECT_FALSE(Read("Big", "TooLong", result));
    EXPECT_EQ(result, "");
    EXPECT_TRUE(Read("Big", "RawFits", result));
    EXPECT_EQ(result, std::string(1024, 'A'));
    result = "stale";
    EXPECT_FALSE(Read("Big", "RawTooLong", result));
    EXPECT_EQ(result, "");
}

TEST_F(GetKeyValueTest, NumbersAndOtherTypes)
{
    WriteStore("[HKEY_LOCAL_MACHINE\\Numbers]\n"
               "\"Answer\"=dword:0000002a\n"
               "\"Page\"=dword:00000100\n"
               "\"Bytes\"=hex:01,02\n");
    std::string result;
    EXPECT_TRUE(Read("Numbers", "Answer", result));
    EXPECT_EQ(result, "&h2A");
    EXPECT_TRUE(Read("Numbers", "Page", result));
    EXPECT_EQ(result, "&h100");
    // Read, but of a type that has no text: the caller's text stays.
    result = "caller's";
    EXPECT_TRUE(Read("Numbers", "Bytes", result));
    EXPECT_EQ(result, "caller's");
}

TEST_F(GetKeyValueTest, AStoreWithFaultyLinesStillAnswersForItsGoodOnes)
{
    WriteStore("this is not a registry\n"
               "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Shared Tools\\MSINFO]\n"
               "\"PATH\"=\"/bin/ok\"\n"
               "\"Broken\"=\"unclosed\n");
    std::string result;
    EXPECT_TRUE(Read(Key, "PATH", result));
    EXPECT_EQ(result, "/bin/ok");
    EXPECT_FALSE(Read(Key, "Broken", result));
}

TEST_F(GetKeyValueTest, TheStoreIsFoundInTheSystemConfigurationFolders)
{
    registry::SetStoreFilePath({});
    const char *saved = std::getenv("XDG_CONFIG_DIRS");
    const std::string savedValue = saved ? saved : "";

    const fs::path empty = m_dir / "empty";
    const fs::path holding = m_dir / "holding";
    fs::create_directories(empty);
    fs::create_directories(holding / "Torvane");
    WriteStore("[HKEY_LOCAL_MACHINE\\K]\n\"V\"=\"from the folder\"\n",
               holding / "Torvane" / "machine-registry.conf");

    // Relative entries are ignored; the first folder that holds the file wins.
    const std::string dirs = "relative/dir:" + empty.string() + ":" + holding.string();
    ::setenv("XDG_CONFIG_DIRS", dirs.c_str(), 1);
    EXPECT_EQ(registry::StoreFilePath(), (holding / "Torvane" / "machine-registry.conf").string());
    std::string result;
    EXPECT_TRUE(Read("K", "V", result));
    EXPECT_EQ(result, "from the folder");

    // With none holding it, the first folder is where it would be.
    ::setenv("XDG_CONFIG_DIRS", empty.string().c_str(), 1);
    EXPECT_EQ(registry::StoreFilePath(), (empty / "Torvane" / "machine-registry.conf").string());

    ::unsetenv("XDG_CONFIG_DIRS");
    EXPECT_EQ(registry::StoreFilePath(), "/etc/xdg/Torvane/machine-registry.conf");

    // A path set by the caller comes before any search.
    registry::SetStoreFilePath(m_store);
    ::setenv("XDG_CONFIG_DIRS", holding.string().c_str(), 1);
    EXPECT_EQ(registry::StoreFilePath(), m_store);

    if (saved)
        ::setenv("XDG_CONFIG_DIRS", savedValue.c_str(), 1);
    else
        ::unsetenv("XDG_CONFIG_DIRS");
}
