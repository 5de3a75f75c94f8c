#include "CommandNames.h"

#include <array>

namespace protocol {

std::optional<std::string_view> CommandName(std::int32_t number)
{
    static constexpr std::array<std::string_view, 23> Names{"",
                                                            "Read ESN",
                                                            "Download System",
                                                            "Upload System",
                                                            "Download User Data",
                                                            "Upload User Data",
                                                            "Download System Prefs",
                                                            "Read GPS Version",
                                                            "Read Satellite Signal",
                                                            "Read Boot Version",
                                                            "Read Boot",
                                                            "Read Flash",
                                                            "Read User Flash",
                                                            "Clear User Data",
                                                            "Write User Block 1",
                                                            "Write User Block 2",
                                                            "Write User Block 3",
                                                            "Write New App",
                                                            "",
                                                            "Write System Prefs",
                                                            "GPS Data",
                                                            "Init GPS",
                                                            "Done"};
    if (number < 0 || number >= static_cast<std::int32_t>(Names.size()) || Names[number].empty())
        return std::nullopt;
    return Names[number];
}

} // namespace protocol
