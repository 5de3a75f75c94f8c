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
    ForEachRun(
        format,
        [&result, &droppedAtStart](std::u16string_view run) {
            if (run.front() != u't') {
                droppedAtStart = false;
                result += run;
                return;
            }
            while (!result.empty() && IsBlank(result.back()))
                result.pop_back();
            droppedAtStart = result.empty();
        },
        [&result, &droppedAtStart](char16_t unit) {
            // A zone that led the format takes the blank after it along.
            if (droppedAtStart && IsBlank(unit))
                return;
            droppedAtStart = false;
            result += unit;
        });
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
