#include "FileSearch.h"

#include "FileSystem.h"

#include <algorithm>
#include <vector>

namespace fsys {

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

namespace {

bool HasWildcard(std::u16string_view text)
{
    return text.find_first_of(u"*?") != std::u16string_view::npos;
}

} // namespace

std::u16string FindFile(const std::u16string &path, bool includeHidden)
{
    if (path.empty() || path.find(u'\0') != std::u16string::npos)
        return {};
    const std::size_t start = NameStart(path);
    const std::u16string folder = path.substr(0, start);
    const std::u16string pattern = path.substr(start);
    if (pattern.empty())
        return {};

    if (!HasWildcard(pattern)) {
        const Status status = StatusOf(path);
        const bool found =
            status.identity.kind == Kind::File && (includeHidden || !status.hidden);
        return found ? pattern : std::u16string();
    }

    // Sorted so that "the first match" is the same on every run and file system.
    const std::u16string folded = FoldCase(pattern);
    std::vector<std::u16string> matches;
    for (const Entry &entry : ListFolder(folder)) {
        if (entry.kind == Kind::File && (includeHidden || !entry.hidden) &&
            WildcardMatch(folded, FoldCase(entry.name)))
            matches.push_back(entry.name);
    }
    if (matches.empty())
        return {};
    return *std::min_element(matches.begin(), matches.end());
}

} // namespace fsys
