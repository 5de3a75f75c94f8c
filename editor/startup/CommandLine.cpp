#include "CommandLine.h"

#ifdef _WIN32
#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
#endif

namespace cmdline {

namespace {

bool IsSeparator(char16_t c)
{
    return c == u' ' || c == u'\t' || c == u';' || c == u',';
}

// One argument as it must stand in the line so that Tokenize gives it back whole. Its own
// quote characters keep their effect; a separator they leave exposed is wrapped in a pair
// of quotes, and an unclosed quote is closed so that it cannot swallow the next blank.
std::u16string Quoted(const std::u16string &argument)
{
    bool hasSeparator = false;
    bool hasQuote = false;
    for (char16_t c : argument) {
        hasSeparator |= IsSeparator(c);
        hasQuote |= c == u'"';
    }
    if (!hasQuote)
        return hasSeparator ? u"\"" + argument + u"\"" : argument;

    std::u16string out;
    bool inQuotes = false;
    for (char16_t c : argument) {
        if (c == u'"') {
            inQuotes = !inQuotes;
            out += c;
        } else if (IsSeparator(c) && !inQuotes) {
            out += u'"';
            out += c;
            out += u'"';
        } else {
            out += c;
        }
    }
    if (inQuotes)
        out += u'"';
    return out;
}

} // namespace

std::u16string JoinArguments(const std::vector<std::u16string> &arguments)
{
    std::u16string line;
    for (const std::u16string &argument : arguments) {
        if (argument.empty())
            continue;
        if (!line.empty())
            line += u' ';
        line += Quoted(argument);
    }
    return line;
}

std::optional<std::u16string> RawCommandLine()
{
#ifdef _WIN32
    const wchar_t *line = GetCommandLineW();
    const std::wstring_view wide = line ? line : L"";
    return AfterProgramName(std::u16string(wide.begin(), wide.end()));
#else
    return std::nullopt;
#endif
}

std::u16string AfterProgramName(std::u16string_view line)
{
    std::size_t end = 0;
    if (!line.empty() && line.front() == u'"') {
        end = line.find(u'"', 1);
        end = end == std::u16string_view::npos ? line.size() : end + 1;
    } else {
        end = line.find_first_of(u" \t");
        end = end == std::u16string_view::npos ? line.size() : end;
    }
    while (end < line.size() && (line[end] == u' ' || line[end] == u'\t'))
        ++end;
    return std::u16string(line.substr(end));
}

std::u16string LowerAscii(std::u16string text)
{
    for (char16_t &c : text) {
        if (c >= u'A' && c <= u'Z')
            c = static_cast<char16_t>(c - u'A' + u'a');
    }
    return text;
}

StartupPlan PlanStartup(const std::vector<std::u16string> &tokens,
                        const std::function<bool(const std::u16string &)> &fileExists)
{
    StartupPlan plan;
    for (const std::u16string &token : tokens) {
        const std::u16string lower = LowerAscii(token);
        if (lower == u"-s" || lower == u"-silent")
            continue;
        if (lower == u"-?" || lower == u"-h" || lower == u"-help") {
            plan.help = true;
            plan.files.clear();
            return plan;
        }
        // Both tests run for every token, so the search sees the empty token as well.
        const bool found = fileExists(token);
        if (!token.empty() && found)
            plan.files.push_back(token);
    }
    return plan;
}

} // namespace cmdline
