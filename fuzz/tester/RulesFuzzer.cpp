// Feeds arbitrary UTF-16 text and numbers through the tester's plain rules and checks
// what must hold for any input.

#include "Escaping.h"
#include "Layout.h"
#include "LineBreaks.h"
#include "LogLines.h"
#include "LogTexts.h"
#include "Progress.h"
#include "StampFormat.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

void Check(bool condition)
{
    if (!condition)
        std::abort();
}

template <typename T> T Take(const std::uint8_t *&data, std::size_t &size)
{
    T value{};
    if (size >= sizeof(T)) {
        std::memcpy(&value, data, sizeof(T));
        data += sizeof(T);
        size -= sizeof(T);
    }
    return value;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const auto current = Take<std::int32_t>(data, size);
    const auto total = Take<std::int32_t>(data, size);
    const auto width = Take<float>(data, size);
    const auto height = Take<float>(data, size);

    const std::optional<std::int16_t> percent = tester::ProgressPercent(current, total);
    if (current <= 0)
        Check(percent == 0);
    if (percent)
        Check(*percent >= 0 && *percent <= 100);
    if (current > 0 && total > 0 && current <= total)
        Check(percent.has_value());

    tester::TesterLayout layout = tester::DesignLayout();
    tester::FormResize(layout, width, height);
    if (width == width && height == height) { // not NaN
        Check(layout.log.width > 0 && layout.log.height > 0);
        Check(layout.command.width > 0 && layout.progress.width == layout.command.width);
        Check(layout.cancel.left == layout.send.left && layout.cancel.top == layout.progress.top);
    }

    std::u16string text(size / 2, u'\0');
    std::memcpy(text.data(), data, text.size() * 2);

    const std::u16string escaped = tester::EscapeResponse(text);
    Check(escaped.find_first_of(u"\r\n") == std::u16string::npos);
    std::size_t breaks = 0;
    for (const char16_t unit : text)
        breaks += (unit == u'\r' || unit == u'\n') ? 1 : 0;
    Check(escaped.size() == text.size() + 3 * breaks);

    std::u16string joined;
    for (const tester::Line &line : tester::SplitLines(text)) {
        Check(line.text.find_first_of(u"\r\n\u2029\uFDD0\uFDD1") == std::u16string_view::npos);
        joined += tester::BreakText(line.before);
        joined += line.text;
    }
    Check(joined == text);

    const std::u16string withoutZone = tester::WithoutTimeZone(text);
    Check(withoutZone.size() <= text.size());
    Check(tester::WithoutTimeZone(withoutZone) == withoutZone);
    const std::u16string fullYear = tester::WithFullYear(text);
    Check(fullYear.size() >= text.size());

    const std::u16string entry = tester::LogEntry(u"stamp", text);
    Check(entry.compare(0, 2, u"\r\n") == 0);

    // The log's store gives back every unit, lone surrogates too, and an edit anywhere
    // changes only what it replaced.
    tester::LogLines log;
    log.Append(text);
    log.Append(entry);
    Check(log.Text() == text + entry);
    const tester::LogPosition from =
        log.Clamp({current % 8u, static_cast<std::size_t>(total % 64)});
    const tester::LogPosition to = log.End();
    const std::u16string kept = log.Text({}, from, u"\n");
    log.Replace(from, to, u"x");
    Check(log.Text({}, log.End(), u"\n") == kept + u"x");
    return 0;
}
