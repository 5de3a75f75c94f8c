#include "CommandTable.h"

#include <array>

namespace tester {
namespace {

constexpr std::array<Command, 21> Commands{{
    {1, u"Read ESN"},
    {2, u"Download System"},
    {3, u"Upload System"},
    {4, u"Download User Data"},
    {5, u"Upload User Data"},
    {6, u"Download System Prefs"},
    {7, u"Read GPS Version"},
    {8, u"Read Satellite Signal"},
    {9, u"Read Boot Version"},
    {10, u"Read Boot"},
    {11, u"Read Flash"},
    {12, u"Read User Flash"},
    {13, u"Clear User Data"},
    {14, u"Write User Block 1"},
    {15, u"Write User Block 2"},
    {16, u"Write User Block 3"},
    {17, u"Write New App"},
    {19, u"Write System Prefs"},
    {20, u"GPS Data"},
    {21, u"Init GPS"},
    {22, u"Done"},
}};

} // namespace

std::span<const Command> CommandTable()
{
    return Commands;
}

std::optional<std::int32_t> CommandNumberAt(int index)
{
    if (index < 0 || static_cast<std::size_t>(index) >= Commands.size())
        return std::nullopt;
    return Commands[static_cast<std::size_t>(index)].number;
}

} // namespace tester
