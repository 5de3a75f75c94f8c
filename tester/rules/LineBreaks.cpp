#include "LineBreaks.h"

namespace tester {

std::vector<Line> SplitLines(std::u16string_view text)
{
    std::vector<Line> lines;
    LineBreak before = LineBreak::None;
    std::size_t start = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        LineBreak found = LineBreak::None;
        std::size_t width = 1;
        switch (text[i]) {
        case u'\r':
            if (i + 1 < text.size() && text[i + 1] == u'\n') {
                found = LineBreak::CrLf;
                width = 2;
            } else {
                found = LineBreak::Cr;
            }
            break;
        case u'\n':
            found = LineBreak::Lf;
            break;
        case u'\u2029':
            found = LineBreak::Paragraph;
            break;
        case u'\uFDD0':
            found = LineBreak::FrameStart;
            break;
        case u'\uFDD1':
            found = LineBreak::FrameEnd;
            break;
        default:
            continue;
        }
        lines.push_back({before, text.substr(start, i - start)});
        before = found;
        start = i + width;
        i += width - 1;
    }
    lines.push_back({before, text.substr(start)});
    return lines;
}

std::u16string_view BreakText(LineBreak lineBreak)
{
    switch (lineBreak) {
    case LineBreak::None:
        return {};
    case LineBreak::CrLf:
        return u"\r\n";
    case LineBreak::Lf:
        return u"\n";
    case LineBreak::Cr:
        return u"\r";
    case LineBreak::Paragraph:
        return u"\u2029";
    case LineBreak::FrameStart:
        return u"\uFDD0";
    case LineBreak::FrameEnd:
        return u"\uFDD1";
    }
    return u"\r\n";
}

std::u16string WithLineFeeds(std::u16string_view text)
{
    std::u16string result;
    result.reserve(text.size());
    for (const Line &line : SplitLines(text)) {
        switch (line.before) {
        case LineBreak::CrLf:
        case LineBreak::Cr:
        case LineBreak::Lf:
            result += u'\n';
            break;
        default:
            result += BreakText(line.before);
        }
        result += line.text;
    }
    return result;
}

LineBreak BreakFromStored(int stored)
{
    if (stored >= static_cast<int>(LineBreak::CrLf) &&
        stored <= static_cast<int>(LineBreak::FrameEnd))
        return static_cast<LineBreak>(stored);
    return LineBreak::CrLf;
}

} // namespace tester
