// The command line is whatever the user or a script hands over: the splitter, the line
// rebuilt from split arguments, the switch table and the wildcard match must neither crash
// nor break their promises on any of it.
#include "CommandLine.h"
#include "FileSearch.h"
#include "PathText.h"
#include "Tokenize.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

void Check(bool condition)
{
    if (!condition)
        std::abort();
}

std::u16string Units(const std::uint8_t *data, std::size_t size)
{
    std::u16string text;
    for (std::size_t i = 0; i + 1 < size; i += 2)
        text += static_cast<char16_t>(data[i] | (data[i + 1] << 8));
    return text;
}

// Reference wildcard match by dynamic programming, for short inputs.
bool SlowMatch(std::u16string_view pattern, std::u16string_view name)
{
    std::vector<std::vector<bool>> m(pattern.size() + 1, std::vector<bool>(name.size() + 1));
    m[0][0] = true;
    for (std::size_t p = 1; p <= pattern.size(); ++p) {
        for (std::size_t n = 0; n <= name.size(); ++n) {
            const char16_t c = pattern[p - 1];
            if (c == u'*')
                m[p][n] = m[p - 1][n] || (n > 0 && m[p][n - 1]);
            else
                m[p][n] = n > 0 && m[p - 1][n - 1] && (c == u'?' || c == name[n - 1]);
        }
    }
    return m[pattern.size()][name.size()];
}

void FuzzTokenize(const std::u16string &line)
{
    const std::vector<std::u16string> tokens = cmdline::Tokenize(line);
    Check(!tokens.empty());
    for (std::size_t i = 0; i < tokens.size(); ++i) {
        Check(tokens[i].find(u'"') == std::u16string::npos);
        Check(tokens.size() == 1 || !tokens[i].empty());
    }
}

void FuzzJoin(const std::u16string &text)
{
    // Unit 1 splits the input into arguments.
    std::vector<std::u16string> arguments(1);
    for (char16_t c : text) {
        if (c == 1)
            arguments.emplace_back();
        else
            arguments.back() += c;
    }
    std::vector<std::u16string> expected;
    for (std::u16string argument : arguments) {
        if (argument.find(u"//") != std::u16string::npos)
            return; // the scan stops there by design
        std::erase(argument, u'"');
        if (!argument.empty())
            expected.push_back(argument);
    }
    if (expected.empty())
        expected.emplace_back();
    Check(cmdline::Tokenize(cmdline::JoinArguments(arguments)) == expected);
}

void FuzzPlan(const std::u16string &line)
{
    const std::vector<std::u16string> tokens = cmdline::Tokenize(line);
    const cmdline::StartupPlan plan = cmdline::PlanStartup(tokens, [](const std::u16string &token) {
        return fsys::WildcardMatch(token, u"config.cfg");
    });
    Check(!plan.help || plan.files.empty());
    for (const std::u16string &file : plan.files)
        Check(!file.empty() && fsys::WildcardMatch(file, u"config.cfg"));
}

void FuzzMatch(const std::u16string &text)
{
    const std::size_t split = text.find(u'\x01');
    const std::u16string pattern = text.substr(0, split);
    const std::u16string name = split == std::u16string::npos ? u"" : text.substr(split + 1);
    const bool fast = fsys::WildcardMatch(pattern, name);
    if (pattern.size() <= 48 && name.size() <= 48)
        Check(fast == SlowMatch(pattern, name));
    // Every name, broken UTF-16 too, comes back from the bytes the file system is given.
    Check(Utf16(Utf8(text, true)) == text);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    if (size == 0)
        return 0;
    const std::u16string text = Units(data + 1, size - 1);
    switch (data[0] % 4) {
    case 0:
        FuzzTokenize(text);
        break;
    case 1:
        FuzzJoin(text);
        break;
    case 2:
        FuzzPlan(text);
        break;
    default:
        FuzzMatch(text);
        break;
    }
    return 0;
}
