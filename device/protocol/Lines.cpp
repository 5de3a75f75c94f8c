#include "Lines.h"

#include "Escape.h"
#include "Limits.h"

#include <array>
#include <utility>

namespace protocol {
namespace {

struct UnitTagName
{
    UnitTag tag;
    std::string_view name;
};

constexpr std::array<UnitTagName, 10> UnitTags{{
    {UnitTag::Hello, "HELLO"},
    {UnitTag::Ok, "OK"},
    {UnitTag::Fail, "FAIL"},
    {UnitTag::Aborted, "ABORTED"},
    {UnitTag::Status, "STATUS"},
    {UnitTag::Message, "MSG"},
    {UnitTag::Response, "RESP"},
    {UnitTag::Error, "ERR"},
    {UnitTag::Progress, "PROG"},
    {UnitTag::Field, "FIELD"},
}};

std::string_view NameOf(UnitTag tag)
{
    for (const UnitTagName &entry : UnitTags)
        if (entry.tag == tag)
            return entry.name;
    return {};
}

// Reads a line's arguments from left to right.
class Arguments
{
public:
    explicit Arguments(std::string_view rest) : m_rest(rest) {}

    // The next word: up to the next space or the end; empty between two spaces.
    std::optional<std::string_view> Word()
    {
        if (!TakeSeparator())
            return std::nullopt;
        const std::size_t end = m_rest.find(' ');
        const std::string_view word = m_rest.substr(0, end);
        m_rest = end == std::string_view::npos ? std::string_view{} : m_rest.substr(end);
        return word;
    }

    // The rest of the line as the last text, which may be empty but needs its space.
    std::optional<std::string_view> Text()
    {
        if (!TakeSeparator())
            return std::nullopt;
        const std::string_view text = m_rest;
        m_rest = {};
        return text;
    }

    bool Done() const { return m_rest.empty(); }

private:
    bool TakeSeparator()
    {
        if (m_rest.empty() || m_rest.front() != ' ')
            return false;
        m_rest.remove_prefix(1);
        return true;
    }

    std::string_view m_rest;
};

std::optional<std::int32_t> Number(std::string_view word)
{
    bool negative = false;
    if (!word.empty() && word.front() == '-') {
        negative = true;
        word.remove_prefix(1);
    }
    if (word.empty() || word.size() > 10)
        return std::nullopt;
    std::int64_t value = 0;
    for (const char c : word) {
        if (c < '0' || c > '9')
            return std::nullopt;
        value = value * 10 + (c - '0');
    }
    if (negative)
        value = -value;
    if (value < INT32_MIN || value > INT32_MAX)
        return std::nullopt;
    return static_cast<std::int32_t>(value);
}

std::optional<std::string_view> CheckBytes(std::string_view line)
{
    if (line.size() > MaxLine)
        return "a line longer than 1024 bytes";
    for (const char c : line) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte > 0x7E)
            return "a byte outside printable ASCII";
    }
    if (line.empty())
        return "an empty line";
    return std::nullopt;
}

template <typename T> Result<T> Refuse(std::string_view why, std::string_view tag = {})
{
    std::string text(why);
    // Tags are read out letter by letter or as words, and every one that starts with a
    // vowel letter (OK, ERR, ABORTED) starts with a vowel sound either way.
    if (!tag.empty())
        text +=
            (std::string_view("AEIOU").find(tag.front()) == std::string_view::npos ? " in a "
                                                                                   : " in an ") +
            std::string(tag) + " line";
    return Result<T>::Fail(std::move(text));
}

} // namespace

std::string FormatHostLine(const HostLine &line)
{
    std::string out;
    switch (line.tag) {
    case HostTag::Hello:
        out = "HELLO " + std::to_string(line.number);
        break;
    case HostTag::Set:
        out = "SET " + line.name + " " + EscapeText(line.text);
        break;
    case HostTag::Command:
        out = "CMD " + std::to_string(line.number);
        break;
    case HostTag::Abort:
        out = "ABORT";
        break;
    }
    return out + "\r\n";
}

std::string FormatUnitLine(const UnitLine &line)
{
    std::string out(NameOf(line.tag));
    switch (line.tag) {
    case UnitTag::Hello:
        out += " " + std::to_string(line.version) + " " + EscapeText(line.text);
        break;
    case UnitTag::Ok:
    case UnitTag::Aborted:
        break;
    case UnitTag::Error:
        out += " " + EscapeText(line.place, false) + " " + EscapeText(line.text);
        break;
    case UnitTag::Progress:
        out += " " + std::to_string(line.current) + " " + std::to_string(line.total);
        break;
    case UnitTag::Fail:
    case UnitTag::Status:
    case UnitTag::Message:
    case UnitTag::Response:
    case UnitTag::Field:
        out += " " + EscapeText(line.text);
        break;
    }
    return out + "\r\n";
}

Result<HostLine> ParseHostLine(std::string_view line)
{
    if (const auto bad = CheckBytes(line))
        return Refuse<HostLine>(*bad);
    const std::string_view tag = line.substr(0, line.find(' '));
    Arguments args(line.substr(tag.size()));
    HostLine parsed;
    if (tag == "HELLO" || tag == "CMD") {
        parsed.tag = tag == "HELLO" ? HostTag::Hello : HostTag::Command;
        const auto word = args.Word();
        const auto number = word ? Number(*word) : std::nullopt;
        if (!number)
            return Refuse<HostLine>("a missing or unreadable number", tag);
        parsed.number = *number;
    } else if (tag == "SET") {
        parsed.tag = HostTag::Set;
        const auto name = args.Word();
        if (!name || !IsSettingName(*name))
            return Refuse<HostLine>("a missing or unfit setting name", tag);
        parsed.name = std::string(*name);
        const auto text = args.Text();
        if (!text)
            return Refuse<HostLine>("a missing value", tag);
        Result<std::string> value = UnescapeText(*text);
        if (!value)
            return Refuse<HostLine>(value.error(), tag);
        parsed.text = std::move(value.value());
    } else if (tag == "ABORT") {
        parsed.tag = HostTag::Abort;
    } else {
        return Result<HostLine>::Fail("an unknown request \"" + Visible(tag, 20) + "\"");
    }
    if (!args.Done())
        return Refuse<HostLine>("more arguments than allowed", tag);
    return parsed;
}

Result<UnitLine> ParseUnitLine(std::string_view line)
{
    if (const auto bad = CheckBytes(line))
        return Refuse<UnitLine>(*bad);
    const std::string_view tag = line.substr(0, line.find(' '));
    Arguments args(line.substr(tag.size()));
    UnitLine parsed;
    bool known = false;
    for (const UnitTagName &entry : UnitTags) {
        if (entry.name == tag) {
            parsed.tag = entry.tag;
            known = true;
        }
    }
    if (!known)
        return Result<UnitLine>::Fail("an unknown tag \"" + Visible(tag, 20) + "\"");

    const auto number = [&args]() -> std::optional<std::int32_t> {
        const auto word = args.Word();
        return word ? Number(*word) : std::nullopt;
    };
    const auto text = [&args](std::string &into) -> std::optional<std::string> {
        const auto wire = args.Text();
        if (!wire)
            return "a missing text";
        Result<std::string> decoded = UnescapeText(*wire);
        if (!decoded)
            return decoded.error();
        into = std::move(decoded.value());
        return std::nullopt;
    };

    std::optional<std::string> problem;
    switch (parsed.tag) {
    case UnitTag::Hello: {
        const auto version = number();
        if (!version)
            return Refuse<UnitLine>("a missing or unreadable version", tag);
        parsed.version = *version;
        problem = text(parsed.text);
        break;
    }
    case UnitTag::Ok:
    case UnitTag::Aborted:
        break;
    case UnitTag::Error: {
        const auto place = args.Word();
        if (!place)
            return Refuse<UnitLine>("a missing place", tag);
        Result<std::string> decoded = UnescapeText(*place);
        if (!decoded)
            return Refuse<UnitLine>(decoded.error(), tag);
        parsed.place = std::move(decoded.value());
        problem = text(parsed.text);
        break;
    }
    case UnitTag::Progress: {
        const auto current = number();
        const auto total = current ? number() : std::nullopt;
        if (!current || !total)
            return Refuse<UnitLine>("missing or unreadable counts", tag);
        parsed.current = *current;
        parsed.total = *total;
        break;
    }
    case UnitTag::Fail:
    case UnitTag::Status:
    case UnitTag::Message:
    case UnitTag::Response:
    case UnitTag::Field:
        problem = text(parsed.text);
        break;
    }
    if (problem)
        return Refuse<UnitLine>(*problem, tag);
    if (!args.Done())
        return Refuse<UnitLine>("more arguments than allowed", tag);
    return parsed;
}

HostLine Hello(std::int32_t version)
{
    return {HostTag::Hello, version, {}, {}};
}

HostLine Set(std::string name, std::string value)
{
    return {HostTag::Set, 0, std::move(name), std::move(value)};
}

HostLine Command(std::int32_t number)
{
    return {HostTag::Command, number, {}, {}};
}

HostLine Abort()
{
    return {HostTag::Abort, 0, {}, {}};
}

UnitLine UnitHello(std::int32_t version, std::string identity)
{
    UnitLine line;
    line.tag = UnitTag::Hello;
    line.version = version;
    line.text = std::move(identity);
    return line;
}

UnitLine UnitText(UnitTag tag, std::string text)
{
    UnitLine line;
    line.tag = tag;
    line.text = std::move(text);
    return line;
}

UnitLine UnitError(std::string place, std::string text)
{
    UnitLine line;
    line.tag = UnitTag::Error;
    line.place = std::move(place);
    line.text = std::move(text);
    return line;
}

UnitLine UnitProgress(std::int32_t current, std::int32_t total)
{
    UnitLine line;
    line.tag = UnitTag::Progress;
    line.current = current;
    line.total = total;
    return line;
}

UnitLine UnitFinal(UnitTag tag)
{
    UnitLine line;
    line.tag = tag;
    return line;
}

} // namespace protocol
