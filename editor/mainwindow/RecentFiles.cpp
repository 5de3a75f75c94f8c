#include "RecentFiles.h"

#include <algorithm>

namespace recent {

List Clean(const List &stored)
{
    List list;
    for (const std::u16string &path : stored) {
        if (list.size() == Slots)
            break;
        if (!path.empty() && std::find(list.begin(), list.end(), path) == list.end())
            list.push_back(path);
    }
    return list;
}

List Remember(const List &list, const std::u16string &path)
{
    List updated{path};
    updated.insert(updated.end(), list.begin(), list.end());
    return Clean(updated);
}

List Forget(const List &list, const std::u16string &path)
{
    List updated;
    std::copy_if(list.begin(), list.end(), std::back_inserter(updated),
                 [&path](const std::u16string &entry) { return entry != path; });
    return updated;
}

std::u16string Caption(std::size_t index, const std::u16string &name)
{
    std::u16string caption = u"&";
    for (char c : std::to_string(index + 1))
        caption += static_cast<char16_t>(c);
    caption += u' ';
    for (char16_t c : name) {
        caption += c;
        if (c == u'&')
            caption += c;
    }
    return caption;
}

} // namespace recent
