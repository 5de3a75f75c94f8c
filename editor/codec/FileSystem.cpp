// The parts of the file system layer that are the same on every platform.
#include "FileSystem.h"

#include "PathText.h"

namespace fsys {

namespace {

// Keeps a temporary's name within the system's limit however long the target's is.
constexpr std::size_t TargetPartLength = 160;

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

} // namespace

std::string DisplayPath(std::u16string_view path)
{
    return Utf8(path, false);
}

std::u16string TemporaryName(std::u16string_view target, std::uint64_t process, std::uint64_t tick,
                             int attempt)
{
    return u"." + std::u16string(target.substr(0, TargetPartLength)) + u"." + Decimal(process) +
           u"." + Hex(tick) + u"." + Decimal(static_cast<std::uint64_t>(attempt)) + u".tmp";
}

std::optional<std::uint64_t> TemporaryWriter(std::u16string_view name, std::u16string_view target)
{
    const std::u16string prefix = u"." + std::u16string(target.substr(0, TargetPartLength)) + u".";
    if (name.substr(0, prefix.size()) != prefix)
        return std::nullopt;
    std::u16string_view rest = name.substr(prefix.size());
    const std::optional<std::uint64_t> process = TakeNumber(rest, 10);
    if (!process || !TakeNumber(rest, 16) || !TakeNumber(rest, 10) || rest != u"tmp")
        return std::nullopt;
    return process;
}

} // namespace fsys
