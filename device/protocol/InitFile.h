#pragma once
// The init file's settings: "name = value" lines, sent to the unit when the line opens
// (docs/protocol.md, section 8). Reading the file from disk is the caller's; this reads
// its bytes.

#include "Result.h"

#include <string>
#include <string_view>
#include <vector>

namespace protocol {

struct Setting
{
    std::string name;
    std::string value;

    bool operator==(const Setting &) const = default;
};

// A failure reads "line N: what is wrong", or a sentence about the whole file.
Result<std::vector<Setting>> ParseInitFile(std::string_view content);

} // namespace protocol
