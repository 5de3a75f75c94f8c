// A second process for the Windows tests, started by them with a command line of their
// choosing. What it does is chosen through the environment, so that the command line is
// left entirely to the case under test:
//   TORVANE_HELPER_TOKENS=<file>  writes the tokens of its own raw command line to <file>,
//                                 one a line (UTF-16LE), as start-up would split them;
//   TORVANE_HELPER_HOLD=<file>    opens <file> without sharing it, says so by creating
//                                 <file>.held, and waits until it is ended;
//   neither                       ends at once (a process that has come and gone).
#include "CommandLine.h"
#include "Tokenize.h"
#include "modUnicodeRW.h"

#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <string>
#include <vector>

namespace {

std::wstring Variable(const wchar_t *name)
{
    wchar_t value[1024];
    const DWORD length = GetEnvironmentVariableW(name, value, 1024);
    return length > 0 && length < 1024 ? std::wstring(value, length) : std::wstring();
}

std::u16string U16(const std::wstring &text)
{
    return std::u16string(text.begin(), text.end());
}

} // namespace

int main()
{
    if (const std::wstring out = Variable(L"TORVANE_HELPER_TOKENS"); !out.empty()) {
        std::u16string lines;
        for (const std::u16string &token : cmdline::Tokenize(*cmdline::RawCommandLine()))
            lines += token + u'\n';
        WriteUnicodeFile(U16(out), lines, false);
        return 0;
    }
    if (const std::wstring held = Variable(L"TORVANE_HELPER_HOLD"); !held.empty()) {
        const HANDLE file = CreateFileW(held.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                        OPEN_EXISTING, 0, nullptr);
        if (file == INVALID_HANDLE_VALUE)
            return 2;
        WriteUnicodeFile(U16(held) + u".held", u"", false);
        Sleep(INFINITE);
    }
    return 0;
}
