#include "FileSearch.h"

#include <algorithm>
#include <filesystem>
#include <system_error>
#include <vector>

namespace fs = std::filesystem;

namespace cmdline {

bool WildcardMatch(std::u16string_view pattern, std::u16string_view name)
{
    // Greedy match with one back-tracking point: linear in practice, and without the
    // exponential blow-up of naive recursion on patterns such as "*a*a*a*b".
    std::size_t p = 0, n = 0;
    std::size_t starP = std::u16string_view::npos, starN = 0;
    while (n < name.size()) {
        // A "*" is always a wildcard, even where the name holds a "*" of its own.
        if (p < pattern.size() && pattern[p] == u'*') {
            starP = p++;
            starN = n;
        } else if (p < pattern.size() && (pattern[p] == u'?' || pattern[p] == name[n])) {
            ++p;
            ++n;
        } else if (starP != std::u16string_view::npos) {
            p = starP + 1;
            n = ++starN;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == u'*')
        ++p;
    return p == pattern.size();
}

std::optional<std::string> Utf8Path(std::u16string_view path)
{
    std::string out;
    out.reserve(path.size());
    for (std::size_t i = 0; i < path.size(); ++i) {
        char32_t c = path[i];
        if (c == 0)
            return std::nullopt;
        if (c >= 0xD800 && c <= 0xDBFF) {
            if (i + 1 >= path.size() || path[i + 1] < 0xDC00 || path[i + 1] > 0xDFFF)
                return std::nullopt;
            c = 0x10000 + ((c - 0xD800) << 10) + (path[++i] - 0xDC00);
        } else if (c >= 0xDC00 && c <= 0xDFFF) {
            return std::nullopt;
        }
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else if (c < 0x800) {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            out += static_cast<char>(0xE0 | (c >> 12));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | (c >> 18));
            out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return out;
}

namespace {

bool IsOrdinaryFile(const fs::path &path)
{
    std::error_code ec;
    return fs::is_regular_file(fs::status(path, ec));
}

bool HasWildcard(std::u16string_view text)
{
    return text.find_first_of(u"*?") != std::u16string_view::npos;
}

std::u16string Utf16(const std::string &utf8)
{
    // Names from the file system are UTF-8 on this platform; what does not decode is
    // still a name, so each stray byte becomes one unit rather than failing the search.
    std::u16string out;
    for (std::size_t i = 0; i < utf8.size();) {
        const auto b = static_cast<unsigned char>(utf8[i]);
        const int extra = b >= 0xF0 ? 3 : b >= 0xE0 ? 2 : b >= 0xC0 ? 1 : 0;
        char32_t c = extra == 0 ? b : b & (0x3F >> extra);
        bool valid = i + static_cast<std::size_t>(extra) < utf8.size();
        for (int k = 1; valid && k <= extra; ++k) {
            const auto next = static_cast<unsigned char>(utf8[i + static_cast<std::size_t>(k)]);
            valid = (next & 0xC0) == 0x80;
            c = (c << 6) | (next & 0x3F);
        }
        if (!valid || (b >= 0x80 && b < 0xC0)) {
            out += static_cast<char16_t>(b);
            ++i;
            continue;
        }
        if (c >= 0x10000) {
            c -= 0x10000;
            out += static_cast<char16_t>(0xD800 + (c >> 10));
            out += static_cast<char16_t>(0xDC00 + (c & 0x3FF));
        } else {
            out += static_cast<char16_t>(c);
        }
        i += static_cast<std::size_t>(extra) + 1;
    }
    return out;
}

} // namespace

std::u16string FindFile(const std::u16string &path, bool includeHidden)
{
    if (path.empty())
        return {};
    const std::size_t slash = path.find_last_of(u'/');
    const std::u16string folder = slash == std::u16string::npos ? u"" : path.substr(0, slash + 1);
    const std::u16string pattern = slash == std::u16string::npos ? path : path.substr(slash + 1);
    if (pattern.empty() || (!includeHidden && pattern.front() == u'.'))
        return {};

    const std::optional<std::string> folderBytes = Utf8Path(folder);
    const std::optional<std::string> patternBytes = Utf8Path(pattern);
    if (!folderBytes || !patternBytes)
        return {};
    const fs::path base = folderBytes->empty() ? fs::path(".") : fs::path(*folderBytes);

    if (!HasWildcard(pattern))
        return IsOrdinaryFile(base / *patternBytes) ? pattern : std::u16string();

    // Sorted so that "the first match" is the same on every run and file system.
    std::vector<std::u16string> matches;
    std::error_code ec;
    for (fs::directory_iterator it(base, ec), end; !ec && it != end; it.increment(ec)) {
        const std::u16string name = Utf16(it->path().filename().string());
        if (!includeHidden && !name.empty() && name.front() == u'.')
            continue;
        if (WildcardMatch(pattern, name) && IsOrdinaryFile(it->path()))
            matches.push_back(name);
    }
    if (matches.empty())
        return {};
    return *std::min_element(matches.begin(), matches.end());
}

} // namespace cmdline
