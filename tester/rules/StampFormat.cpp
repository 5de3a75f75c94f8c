#include "StampFormat.h"

namespace tester {
namespace {

bool IsBlank(char16_t unit)
{
    return unit == u' ' || unit == u'\u00A0' || unit == u'\u202F';
}

// Calls `letters(run)` for each run of one unquoted letter and copies quoted text and
// everything else to the output through `other(unit)`.
template <typename Letters, typename Other>
void ForEachRun(std::u16string_view format, Letters letters, Other other)
{
    bool quoted = false;
    for (std::size_t i = 0; i < format.size(); ++i) {
        const char16_t unit = format[i];
        if (unit == u'\'') {
            quoted = !quoted;
            other(unit);
            continue;
        }
        if (quoted || !((unit >= u'a' && unit <= u'z') || (unit >= u'A' && unit <= u'Z'))) {
            other(unit);
            continue;
        }
        std::size_t end = i + 1;
        while (end < format.size() && format[end] == unit)
            ++end;
        letters(format.substr(i, end - i));
        i = end - 1;
    }
}

} // namespace

std::u16string WithoutTimeZone(std::u16string_view format)
{
    std::u16string result;
    bool droppedAtStart = false;
    bool dropped = false;
    char16_t closer = 0; // the bracket that closed around a dropped zone
    ForEachRun(
        format,
        [&result, &droppedAtStart, &dropped, &closer](std::u16string_view run) {
            closer = 0;
            if (run.front() != u't') {
                droppedAtStart = false;
                result += run;
                return;
            }
            dropped = true;
            // "(t)" and "[t]" go as a whole.
            if (!result.empty() && (result.back() == u'(' || result.back() == u'[')) {
                closer = result.back() == u'(' ? u')' : u']';
                result.pop_back();
            }
            while (!result.empty() && IsBlank(result.back()))
                result.pop_back();
            droppedAtStart = result.empty();
        },
        [&result, &droppedAtStart, &closer](char16_t unit) {
            if (closer != 0 && unit == closer) {
                closer = 0;
                return;
            }
            closer = 0;
            // A zone that led the format takes the blank after it along.
            if (droppedAtStart && IsBlank(unit))
                return;
            droppedAtStart = false;
            result += unit;
        });
    // A zone that ended the format leaves no separator behind ("h:mm:ss AP, t").
    while (dropped && !result.empty() && (IsBlank(result.back()) || result.back() == u','))
        result.pop_back();
    return result;
}

std::u16string WithFullYear(std::u16string_view format)
{
    std::u16string result;
    ForEachRun(
        format, [&result](std::u16string_view run) { result += run == u"yy" ? u"yyyy" : run; },
        [&result](char16_t unit) { result += unit; });
    return result;
}

} // namespace tester
