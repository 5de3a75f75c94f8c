// Start-up's command line on Windows: the process's own line, as typed, less the
// program's name, split by Tokenize. Run in a second process given each line exactly.
// Built for Windows only.
#include "PathText.h"
#include "WindowsProcess.h"
#include "modUnicodeRW.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <utility>
#include <vector>

namespace {

using Tokens = std::vector<std::u16string>;

Tokens TokensOf(const std::wstring &line)
{
    const std::filesystem::path out = std::filesystem::temp_directory_path() /
                                      ("tokens-" + std::to_string(GetCurrentProcessId()) + ".txt");
    std::filesystem::remove(out);
    HelperProcess helper(line, L"TORVANE_HELPER_TOKENS", out.wstring());
    EXPECT_TRUE(helper.started());
    EXPECT_EQ(helper.Wait(), 0u);
    const std::u16string text = ReadUnicodeFile(out.u16string(), false);
    std::filesystem::remove(out);
    Tokens tokens;
    for (std::size_t start = 0, end; (end = text.find(u'\n', start)) != std::u16string::npos;
         start = end + 1)
        tokens.push_back(text.substr(start, end - start));
    return tokens;
}

} // namespace

TEST(RawCommandLineOnWindows, TheLineAsTypedLessTheProgramNameIsWhatIsSplit)
{
    const std::vector<std::pair<std::wstring, Tokens>> cases = {
        {L"quillon.exe a.cfg b.cfg", {u"a.cfg", u"b.cfg"}},
        {L"\"C:\\Program Files\\Quillon\\quillon.exe\"  -S \"my file.cfg\";rest",
         {u"-S", u"my file.cfg", u";"}},
        // The C run-time would have made a"b and c of this; the design's splitter does not.
        {L"q.exe a\\\"b c", {u"a\\b c"}},
        {L"q.exe x a//b", {u"x"}},
        {L"q.exe Gr\u00FC\u00DFe\u2713.cfg \U0001F600",
         {u"Gr\u00FC\u00DFe\u2713.cfg", u"\U0001F600"}},
        {L"q.exe", {u""}},
    };
    for (const auto &[line, tokens] : cases)
        EXPECT_EQ(TokensOf(line), tokens) << Utf8(std::u16string(line.begin(), line.end()), false);
}
