#include "RunOptions.h"

#include "PortOption.h"

#include <array>
#include <optional>

namespace tester {
namespace {

struct Valued
{
    std::string_view name;
    std::string RunOptions::*into;
};

const std::array<Valued, 5> ValuedOptions{{
    {"--run", &RunOptions::sequence},
    {"--port", &RunOptions::port},
    {"--report", &RunOptions::report},
    {"--report-format", nullptr},
    {"--record-dir", &RunOptions::recordDir},
}};

RunOptions Wrong(std::string error)
{
    RunOptions options;
    options.error = std::move(error);
    return options;
}

} // namespace

RunOptions FindRunOptions(const std::vector<std::string> &arguments)
{
    RunOptions options;
    std::vector<std::string> runOnly;
    std::string unknown;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string &argument = arguments[i];
        if (argument == "--simulate" || argument == "--keep-going") {
            (argument == "--simulate" ? options.simulate : options.keepGoing) = true;
            runOnly.push_back(argument);
            continue;
        }
        const Valued *option = nullptr;
        std::optional<std::string> value;
        for (const Valued &candidate : ValuedOptions) {
            if (argument == candidate.name) {
                option = &candidate;
                if (i + 1 < arguments.size())
                    value = arguments[++i];
            } else if (argument.rfind(std::string(candidate.name) + "=", 0) == 0) {
                option = &candidate;
                value = argument.substr(candidate.name.size() + 1);
            }
            if (option)
                break;
        }
        if (!option) {
            if (unknown.empty())
                unknown = argument;
            continue;
        }
        const std::string name(option->name);
        if (!value || value->empty() || value->rfind("--", 0) == 0) {
            if (name == "--port")
                return Wrong(FindPortOption({"--port"}).error);
            return Wrong(name + " needs a value");
        }
        if (name == "--run")
            options.run = true;
        else if (name != "--port")
            runOnly.push_back(name);
        if (name == "--report-format") {
            if (*value != "junit" && *value != "json")
                return Wrong("--report-format is junit or json, not \"" + *value + "\"");
            options.format = *value == "json" ? ReportFormat::Json : ReportFormat::JUnit;
        } else {
            options.*(option->into) = *value;
        }
    }
    if (!options.run) {
        if (!runOnly.empty())
            return Wrong(runOnly.front() + " works only with --run FILE");
        return options;
    }
    if (!unknown.empty())
        return Wrong("unknown option \"" + unknown + "\" with --run");
    return options;
}

std::string RecordFolder(std::u16string_view fieldText)
{
    static constexpr std::u16string_view Label = u"ESN: ";
    const std::size_t at = fieldText.find(Label);
    if (at != 0 &&
        (at == std::u16string_view::npos || at < 2 || fieldText.substr(at - 2, 2) != u"\r\n"))
        return "unknown";
    std::u16string_view esn = fieldText.substr(at + Label.size());
    esn = esn.substr(0, esn.find(u"\r\n"));
    if (esn.empty() || esn.size() > 64)
        return "unknown";
    std::string folder;
    for (const char16_t c : esn) {
        const bool safe = (c >= u'0' && c <= u'9') || (c >= u'A' && c <= u'Z') ||
                          (c >= u'a' && c <= u'z') || c == u'-' || c == u'_';
        if (!safe)
            return "unknown";
        folder += static_cast<char>(c);
    }
    return folder;
}

} // namespace tester
