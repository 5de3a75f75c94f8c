// The parts of the file system layer that are the same on every platform.
#include "FileSystem.h"

#include "PathText.h"

#include <algorithm>

namespace fsys {

namespace {

// What a temporary's name adds to the part of the target's it keeps, at most: a dot in
// front, and the writer's number (20 digits), the tick (16 hex digits), the attempt (2
// digits) and "tmp", each after a dot.
constexpr std::size_t AddedLength = 1 + 1 + 20 + 1 + 16 + 1 + 2 + 1 + 3;
// A limit below this is not believed: no file system in use names files so briefly.
constexpr std::size_t SmallestNameLimit = 64;

std::u16string Decimal(std::uint64_t n)
{
    std::u16string out;
    do {
        out.insert(out.begin(), static_cast<char16_t>(u'0' + n % 10));
        n /= 10;
    } while (n != 0);
    return out;
}

std::u16string Hex(std::uint64_t n)
{
    std::u16string out;
    do {
        out.insert(out.begin(), u"0123456789abcdef"[n % 16]);
        n /= 16;
    } while (n != 0);
    return out;
}

// Takes the run of digits (of base 10 or 16) at the front of `text`, and the dot after it.
std::optional<std::uint64_t> TakeNumber(std::u16string_view &text, unsigned base)
{
    std::uint64_t value = 0;
    std::size_t i = 0;
    for (; i < text.size() && i < 16; ++i) {
        const char16_t c = text[i];
        unsigned digit = 0;
        if (c >= u'0' && c <= u'9')
            digit = static_cast<unsigned>(c - u'0');
        else if (base == 16 && c >= u'a' && c <= u'f')
            digit = static_cast<unsigned>(c - u'a' + 10);
        else
            break;
        value = value * base + digit;
    }
    if (i == 0 || i >= text.size() || text[i] != u'.')
        return std::nullopt;
    text.remove_prefix(i + 1);
    return value;
}

// As much of the start of `target` as leaves the temporary's whole name within
// `nameLimit`, counted in UTF-8 bytes: POSIX systems limit names in those, Windows in
// UTF-16 units, of which a name never has more. Never cuts a character in two.
std::u16string_view TargetPart(std::u16string_view target, std::size_t nameLimit)
{
    const std::size_t budget = std::max(nameLimit, SmallestNameLimit) - AddedLength;
    std::size_t bytes = 0;
    std::size_t end = 0;
    while (end < target.size()) {
        const char16_t unit = target[end];
        const bool pair = unit >= 0xD800 && unit <= 0xDBFF && end + 1 < target.size() &&
                          target[end + 1] >= 0xDC00 && target[end + 1] <= 0xDFFF;
        const std::size_t size = pair ? 4 : unit < 0x80 ? 1 : unit < 0x800 ? 2 : 3;
        if (bytes + size > budget)
            break;
        bytes += size;
        end += pair ? 2 : 1;
    }
    return target.substr(0, end);
}

} // namespace

std::string DisplayPath(std::u16string_view path)
{
    return Utf8(path, false);
}

std::u16string TemporaryName(std::u16string_view target, std::uint64_t process, std::uint64_t tick,
                             int attempt, std::size_t nameLimit)
{
    return u"." + std::u16string(TargetPart(target, nameLimit)) + u"." + Decimal(process) + u"." +
           Hex(tick) + u"." + Decimal(static_cast<std::uint64_t>(attempt)) + u".tmp";
}

std::optional<std::uint64_t> TemporaryWriter(std::u16string_view name, std::u16string_view target,
                                             std::size_t nameLimit)
{
    const std::u16string prefix = u"." + std::u16string(TargetPart(target, nameLimit)) + u".";
    if (name.substr(0, prefix.size()) != prefix)
        return std::nullopt;
    std::u16string_view rest = name.substr(prefix.size());
    const std::optional<std::uint64_t> process = TakeNumber(rest, 10);
    if (!process || !TakeNumber(rest, 16) || !TakeNumber(rest, 10) || rest != u"tmp")
        return std::nullopt;
    return process;
}

} // namespace fsys
