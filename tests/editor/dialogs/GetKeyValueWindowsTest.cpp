// GetKeyValue against the Windows registry itself, in keys each test writes under the
// machine-wide root and removes again. Built for Windows only.
#include "GetKeyValue.h"

#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

namespace {

class RegistryKeys : public ::testing::Test
{
protected:
    void SetUp() override
    {
        const auto *info = ::testing::UnitTest::GetInstance()->current_test_info();
        m_key = "SOFTWARE\\Torvane Tests\\" + std::to_string(GetCurrentProcessId()) + " " +
                info->name();
        ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, m_key.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS,
                                  nullptr, &m_handle, nullptr),
                  ERROR_SUCCESS);
    }
    void TearDown() override
    {
        RegCloseKey(m_handle);
        // The key goes with everything in it.
        EXPECT_EQ(RegDeleteTreeA(HKEY_LOCAL_MACHINE, m_key.c_str()), ERROR_SUCCESS);
        HKEY gone = nullptr;
        EXPECT_NE(RegOpenKeyExA(HKEY_LOCAL_MACHINE, m_key.c_str(), 0, KEY_READ, &gone),
                  ERROR_SUCCESS)
            << "the test's key is left in the registry";
        // Its parent too, once no other run's key is left in it.
        RegDeleteKeyA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Torvane Tests");
    }
    void Set(const char *name, DWORD type, const std::string &bytes)
    {
        ASSERT_EQ(RegSetValueExA(m_handle, name, 0, type,
                                 reinterpret_cast<const BYTE *>(bytes.data()),
                                 static_cast<DWORD>(bytes.size())),
                  ERROR_SUCCESS);
    }
    bool Read(const std::string &value, std::string &result) const
    {
        return GetKeyValue(registry::MachineRoot(), m_key, value, result);
    }

    std::string m_key;
    HKEY m_handle = nullptr;
};

} // namespace

TEST_F(RegistryKeys, TextIsReadUpToItsFirstZeroCharacter)
{
    using namespace std::string_literals;
    Set("PATH", REG_SZ, "C:\\PROGRA~1\\COMMON~1\\msinfo32.exe\0"s);
    Set("Cut", REG_SZ, "before\0after\0"s);
    Set("Empty", REG_SZ, "\0"s);
    std::string result = "old";
    EXPECT_TRUE(Read("PATH", result));
    EXPECT_EQ(result, "C:\\PROGRA~1\\COMMON~1\\msinfo32.exe");
    EXPECT_TRUE(Read("Cut", result));
    EXPECT_EQ(result, "before");
    EXPECT_TRUE(Read("Empty", result));
    EXPECT_EQ(result, "");
}

TEST_F(RegistryKeys, ANumberReadsAsHexAndOtherTypesLeaveTheResultAlone)
{
    Set("Number", REG_DWORD, std::string("\x2A\x00\x00\x00", 4));
    Set("Binary", REG_BINARY, "\x01\x02");
    std::string result;
    EXPECT_TRUE(Read("Number", result));
    EXPECT_EQ(result, "&h2A");
    result = "kept";
    EXPECT_TRUE(Read("Binary", result));
    EXPECT_EQ(result, "kept");
}

TEST_F(RegistryKeys, MissingKeysAndValuesAndValuesOverTheBufferAreNotPresent)
{
    Set("Fits", REG_SZ, std::string(1023, 'f') + '\0');
    Set("TooLong", REG_SZ, std::string(1024, 'l') + '\0');
    std::string result = "old";
    EXPECT_TRUE(Read("Fits", result));
    EXPECT_EQ(result.size(), 1023u);
    result = "old";
    EXPECT_FALSE(Read("TooLong", result));
    EXPECT_EQ(result, "");
    result = "old";
    EXPECT_FALSE(Read("Missing", result));
    EXPECT_EQ(result, "");
    result = "old";
    EXPECT_FALSE(GetKeyValue(registry::MachineRoot(), m_key + "\\No Such Key", "PATH", result));
    EXPECT_EQ(result, "");
}
