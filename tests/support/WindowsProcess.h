#pragma once
// The Windows tests' second process: windows_test_helper.exe, found beside the test
// program, started with a whole command line of the test's choosing (see
// WindowsTestHelper.cpp for what it does).

#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <filesystem>
#include <optional>
#include <string>

class HelperProcess
{
public:
    // `variable` set to `value` chooses what the helper does; an empty variable name lets
    // it end at once.
    HelperProcess(const std::wstring &commandLine, const std::wstring &variable = {},
                  const std::wstring &value = {})
    {
        wchar_t self[MAX_PATH];
        const DWORD length = GetModuleFileNameW(nullptr, self, MAX_PATH);
        const std::filesystem::path program =
            std::filesystem::path(std::wstring(self, length)).parent_path() /
            L"windows_test_helper.exe";
        if (!variable.empty())
            SetEnvironmentVariableW(variable.c_str(), value.c_str());
        std::wstring line = commandLine;
        STARTUPINFOW startup = {};
        startup.cb = sizeof startup;
        m_started = CreateProcessW(program.c_str(), line.data(), nullptr, nullptr, FALSE, 0,
                                   nullptr, nullptr, &startup, &m_process);
        if (!variable.empty())
            SetEnvironmentVariableW(variable.c_str(), nullptr);
    }
    ~HelperProcess()
    {
        if (!m_started)
            return;
        if (WaitForSingleObject(m_process.hProcess, 0) != WAIT_OBJECT_0) {
            TerminateProcess(m_process.hProcess, 1);
            WaitForSingleObject(m_process.hProcess, 10000);
        }
        CloseHandle(m_process.hThread);
        CloseHandle(m_process.hProcess);
    }
    HelperProcess(const HelperProcess &) = delete;
    HelperProcess &operator=(const HelperProcess &) = delete;

    bool started() const { return m_started; }
    DWORD id() const { return m_process.dwProcessId; }

    // Its exit status once it has ended, within `milliseconds`.
    std::optional<DWORD> Wait(DWORD milliseconds = 30000)
    {
        DWORD status = 0;
        if (!m_started || WaitForSingleObject(m_process.hProcess, milliseconds) != WAIT_OBJECT_0 ||
            !GetExitCodeProcess(m_process.hProcess, &status))
            return std::nullopt;
        return status;
    }

    // Waits (up to 30 s) until `path` exists, as the helper's sign that it is ready;
    // false when it ended or the time ran out first.
    bool WaitForFile(const std::filesystem::path &path)
    {
        for (int tries = 0; tries < 3000; ++tries) {
            std::error_code ec;
            if (std::filesystem::exists(path, ec))
                return true;
            if (WaitForSingleObject(m_process.hProcess, 10) == WAIT_OBJECT_0)
                return std::filesystem::exists(path, ec);
        }
        return false;
    }

private:
    PROCESS_INFORMATION m_process = {};
    bool m_started = false;
};
