#include "Escape.h"

#include "Limits.h"

namespace protocol {
namespace {

constexpr char HexDigits[] = "0123456789ABCDEF";

bool IsPrintable(unsigned char byte)
{
    return byte >= 0x20 && byte <= 0x7E;
}

int HexValue(char digit)
{
    if (digit >= '0' && digit <= '9')
        return digit - '0';
    if (digit >= 'A' && digit <= 'F')
        return digit - 'A' + 10;
    if (digit >= 'a' && digit <= 'f')
        return digit - 'a' + 10;
    return -1;
}

void AppendHex(std::string &out, unsigned char byte)
{
    out += "\\x";
    out += HexDigits[byte >> 4];
    out += HexDigits[byte & 0x0F];
}

} // namespace

std::string EscapeText(std::string_view text, bool last)
{
    std::string out;
    out.reserve(text.size());
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        switch (c) {
        case '\\':
            out += "\\\\";
            break;
        case '\r':
            out += "\\r";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\t':
            out += "\\t";
            break;
        case ' ':
            out += last ? " " : "\\s";
            break;
        default:
            if (IsPrintable(byte))
                out += c;
            else
                AppendHex(out, byte);
        }
    }
    return out;
}

Result<std::string> UnescapeText(std::string_view wire)
{
    std::string out;
    out.reserve(wire.size());
    for (std::size_t i = 0; i < wire.size(); ++i) {
        const char c = wire[i];
        if (!IsPrintable(static_cast<unsigned char>(c)))
            return Result<std::string>::Fail("a byte outside printable ASCII in a text");
        if (c != '\\') {
            out += c;
            continue;
        }
        if (++i == wire.size())
            return Result<std::string>::Fail("a backslash at the end of a text");
        switch (wire[i]) {
        case '\\':
            out += '\\';
            break;
        case 'r':
            out += '\r';
            break;
        case 'n':
            out += '\n';
            break;
        case 't':
            out += '\t';
            break;
        case 's':
            out += ' ';
            break;
        case 'x': {
            const int high = i + 1 < wire.size() ? HexValue(wire[i + 1]) : -1;
            const int low = i + 2 < wire.size() ? HexValue(wire[i + 2]) : -1;
            if (high < 0 || low < 0)
                return Result<std::string>::Fail("\\x without two hexadecimal digits");
            out += static_cast<char>(high * 16 + low);
            i += 2;
            break;
        }
        default:
            return Result<std::string>::Fail(std::string("an unknown escape \\") +
                                             Visible(wire.substr(i, 1)));
        }
    }
    return out;
}

std::string Visible(std::string_view raw, std::size_t limit)
{
    std::string out;
    for (const char c : raw) {
        if (out.size() >= limit) {
            out += "...";
            break;
        }
        const auto byte = static_cast<unsigned char>(c);
        if (IsPrintable(byte))
            out += c;
        else
            AppendHex(out, byte);
    }
    return out;
}

bool IsSettingName(std::string_view name)
{
    if (name.empty() || name.size() > MaxNameLength)
        return false;
    for (const char c : name) {
        const bool fits = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') ||
                          (c >= '0' && c <= '9') || c == '_' || c == '.' || c == '-';
        if (!fits)
            return false;
    }
    return true;
}

} // namespace protocol
