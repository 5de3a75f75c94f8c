#include "InitFile.h"

#include "Escape.h"
#include "Limits.h"

namespace protocol {
namespace {

std::string_view Trim(std::string_view text)
{
    const auto blank = [](char c) { return c == ' ' || c == '\t'; };
    while (!text.empty() && blank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && blank(text.back()))
        text.remove_suffix(1);
    return text;
}

} // namespace

Result<std::vector<Setting>> ParseInitFile(std::string_view content)
{
    using Parsed = Result<std::vector<Setting>>;
    if (content.size() > MaxInitFile)
        return Parsed::Fail("the file is longer than 64 KiB");
    std::vector<Setting> settings;
    std::size_t number = 0;
    std::size_t from = 0;
    while (from < content.size()) {
        ++number;
        const std::size_t end = content.find('\n', from);
        std::string_view line = content.substr(
            from, end == std::string_view::npos ? std::string_view::npos : end - from);
        from = end == std::string_view::npos ? content.size() : end + 1;
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);

        const auto refuse = [number](const std::string &why) {
            return Parsed::Fail("line " + std::to_string(number) + ": " + why);
        };
        const std::string_view trimmed = Trim(line);
        if (trimmed.empty() || trimmed.front() == '#' || trimmed.front() == ';')
            continue;
        const std::size_t equals = trimmed.find('=');
        if (equals == std::string_view::npos)
            return refuse("expected name = value");
        const std::string_view name = Trim(trimmed.substr(0, equals));
        const std::string_view value = Trim(trimmed.substr(equals + 1));
        if (!IsSettingName(name))
            return refuse("the name \"" + Visible(name, 40) +
                          "\" is not 1 to 32 of the characters A-Z a-z 0-9 _ . -");
        if (value.size() > MaxValueLength)
            return refuse("the value of " + std::string(name) + " is longer than 200 bytes");
        for (const char c : value) {
            const auto byte = static_cast<unsigned char>(c);
            if (byte < 0x20 || byte == 0x7F)
                return refuse("the value of " + std::string(name) + " holds a control character");
        }
        for (const Setting &earlier : settings)
            if (earlier.name == name)
                return refuse(std::string(name) + " is set a second time");
        if (settings.size() == MaxSettings)
            return refuse("more than 100 settings");
        settings.push_back({std::string(name), std::string(value)});
    }
    return settings;
}

} // namespace protocol
