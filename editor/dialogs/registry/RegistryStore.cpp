#include "RegistryStore.h"

#include "RegistryValue.h"

#include <optional>

namespace registry {
namespace {

std::string Fold(std::string_view text)
{
    std::string folded(text);
    for (char &c : folded) {
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    }
    return folded;
}

bool IsBlank(char c)
{
    return c == ' ' || c == '\t';
}

std::string_view Trim(std::string_view text)
{
    while (!text.empty() && (IsBlank(text.front()) || text.front() == '\r'))
        text.remove_prefix(1);
    while (!text.empty() && (IsBlank(text.back()) || text.back() == '\r'))
        text.remove_suffix(1);
    return text;
}

int HexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// One to eight hex digits as a 32-bit number.
std::optional<std::uint32_t> ParseHexNumber(std::string_view digits)
{
    if (digits.empty() || digits.size() > 8)
        return std::nullopt;
    std::uint32_t number = 0;
    for (char c : digits) {
        const int digit = HexDigit(c);
        if (digit < 0)
            return std::nullopt;
        number = (number << 4) | static_cast<std::uint32_t>(digit);
    }
    return number;
}

// A quoted string at the start of `text` (which starts with the opening quote); on success
// `text` is left just after the closing quote.
std::optional<std::string> ParseQuoted(std::string_view &text, std::string &error)
{
    std::string out;
    std::size_t i = 1;
    while (i < text.size()) {
        const char c = text[i];
        if (c == '"') {
            text.remove_prefix(i + 1);
            return out;
        }
        if (c == '\\') {
            if (i + 1 >= text.size())
                break;
            const char next = text[i + 1];
            if (next == '\\' || next == '"')
                out.push_back(next);
            else if (next == '0')
                out.push_back('\0');
            else {
                error = std::string("unknown escape \\") + next;
                return std::nullopt;
            }
            i += 2;
            continue;
        }
        out.push_back(c);
        ++i;
    }
    error = "missing closing quotation mark";
    return std::nullopt;
}

// "hh,hh,..." (possibly empty) as bytes.
std::optional<std::string> ParseHexBytes(std::string_view text)
{
    std::string bytes;
    text = Trim(text);
    if (text.empty())
        return bytes;
    while (true) {
        const std::size_t comma = text.find(',');
        const std::string_view pair = Trim(text.substr(0, comma));
        if (pair.size() != 2 || HexDigit(pair[0]) < 0 || HexDigit(pair[1]) < 0)
            return std::nullopt;
        bytes.push_back(static_cast<char>(HexDigit(pair[0]) * 16 + HexDigit(pair[1])));
        if (comma == std::string_view::npos)
            return bytes;
        text.remove_prefix(comma + 1);
    }
}

std::optional<StoredValue> ParseData(std::string_view data, std::string &error)
{
    StoredValue value;
    if (!data.empty() && data.front() == '"') {
        std::optional<std::string> text = ParseQuoted(data, error);
        if (!text)
            return std::nullopt;
        if (!Trim(data).empty()) {
            error = "text after the closing quotation mark";
            return std::nullopt;
        }
        value.type = TypeText;
        value.bytes = std::move(*text);
        value.bytes.push_back('\0');
        return value;
    }
    if (data.substr(0, 6) == "dword:") {
        const std::optional<std::uint32_t> number = ParseHexNumber(Trim(data.substr(6)));
        if (!number) {
            error = "a dword takes one to eight hex digits";
            return std::nullopt;
        }
        value.type = TypeNumber;
        for (int i = 0; i < 4; ++i)
            value.bytes.push_back(static_cast<char>((*number >> (8 * i)) & 0xFFu));
        return value;
    }
    std::string_view bytes;
    if (data.substr(0, 4) == "hex:") {
        value.type = 3; // bytes, as the registry numbers them
        bytes = data.substr(4);
    } else if (data.substr(0, 4) == "hex(") {
        const std::size_t close = data.find("):");
        const std::optional<std::uint32_t> type = close == std::string_view::npos
                                                      ? std::nullopt
                                                      : ParseHexNumber(data.substr(4, close - 4));
        if (!type) {
            error = "hex(type): needs the type in hex";
            return std::nullopt;
        }
        value.type = *type;
        bytes = data.substr(close + 2);
    } else {
        error = "the data is neither \"text\", dword: nor hex:";
        return std::nullopt;
    }
    std::optional<std::string> parsed = ParseHexBytes(bytes);
    if (!parsed) {
        error = "hex data takes two-digit pairs separated by commas";
        return std::nullopt;
    }
    value.bytes = std::move(*parsed);
    return value;
}

} // namespace

RegistryStore RegistryStore::Parse(std::string_view text)
{
    RegistryStore store;
    // A file saved with a byte-order mark still starts with its first line.
    if (text.substr(0, 3) == "\xEF\xBB\xBF")
        text.remove_prefix(3);

    std::map<std::string, StoredValue> *key = nullptr;
    bool skippingKey = false; // under a header that was refused: its values go quietly
    std::size_t lineNumber = 0;
    while (!text.empty()) {
        ++lineNumber;
        const std::size_t end = text.find('\n');
        const std::string_view line = Trim(text.substr(0, end));
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
        auto problem = [&store, lineNumber](std::string what) {
            store.m_problems.push_back({lineNumber, std::move(what)});
        };

        if (line.empty() || line.front() == ';' || line.front() == '#')
            continue;
        if (line.front() == '[') {
            key = nullptr;
            skippingKey = true;
            if (line.back() != ']') {
                problem("a key header ends with ]");
                continue;
            }
            const std::string_view path = line.substr(1, line.size() - 2);
            const std::string root = Fold(MachineRootName) + "\\";
            if (Fold(path.substr(0, root.size())) != root || path.size() == root.size()) {
                problem("only keys under HKEY_LOCAL_MACHINE\\ are held");
                continue;
            }
            key = &store.m_keys[Fold(path.substr(root.size()))];
            skippingKey = false;
            continue;
        }

        std::string error;
        std::string name;
        std::string_view rest = line;
        if (rest.front() == '@') {
            rest.remove_prefix(1);
        } else if (rest.front() == '"') {
            std::optional<std::string> quoted = ParseQuoted(rest, error);
            if (!quoted) {
                problem("value name: " + error);
                continue;
            }
            name = std::move(*quoted);
        } else {
            problem("neither a key header nor a value");
            continue;
        }
        rest = Trim(rest);
        if (rest.empty() || rest.front() != '=') {
            problem("= expected after the value name");
            continue;
        }
        std::optional<StoredValue> value = ParseData(Trim(rest.substr(1)), error);
        if (!value) {
            problem(error);
            continue;
        }
        if (!key) {
            if (!skippingKey)
                problem("a value before any key header");
            continue;
        }
        (*key)[Fold(name)] = std::move(*value);
    }
    return store;
}

const StoredValue *RegistryStore::Find(std::string_view keyPath, std::string_view valueName) const
{
    const auto key = m_keys.find(Fold(keyPath));
    if (key == m_keys.end())
        return nullptr;
    const auto value = key->second.find(Fold(valueName));
    return value == key->second.end() ? nullptr : &value->second;
}

bool RegistryStore::HasKey(std::string_view keyPath) const
{
    return m_keys.count(Fold(keyPath)) != 0;
}

} // namespace registry
