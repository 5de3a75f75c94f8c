#pragma once
// The lines of the protocol, as values, and their exact form on the wire
// (docs/protocol.md, section 2). Formatting gives the line with its CR LF; parsing takes a
// line without it and refuses anything the page does not allow.

#include "Result.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace protocol {

enum class HostTag { Hello, Set, Command, Abort };

struct HostLine
{
    HostTag tag = HostTag::Abort;
    std::int32_t number = 0; // HELLO's version, CMD's command number
    std::string name;        // SET's setting name
    std::string text;        // SET's value, decoded

    bool operator==(const HostLine &) const = default;
};

enum class UnitTag { Hello, Ok, Fail, Aborted, Status, Message, Response, Error, Progress, Field };

struct UnitLine
{
    UnitTag tag = UnitTag::Ok;
    std::int32_t version = 0; // HELLO
    std::int32_t current = 0; // PROG
    std::int32_t total = 0;   // PROG
    std::string place;        // ERR's place, decoded
    std::string text;         // every other text, decoded

    bool operator==(const UnitLine &) const = default;

    // True for the lines that end a request.
    bool IsFinal() const
    {
        return tag == UnitTag::Hello || tag == UnitTag::Ok || tag == UnitTag::Fail ||
               tag == UnitTag::Aborted;
    }
};

std::string FormatHostLine(const HostLine &line);
std::string FormatUnitLine(const UnitLine &line);

Result<HostLine> ParseHostLine(std::string_view line);
Result<UnitLine> ParseUnitLine(std::string_view line);

// Shorthands for the writers of both sides.
HostLine Hello(std::int32_t version);
HostLine Set(std::string name, std::string value);
HostLine Command(std::int32_t number);
HostLine Abort();

UnitLine UnitHello(std::int32_t version, std::string identity);
UnitLine UnitText(UnitTag tag, std::string text);
UnitLine UnitError(std::string place, std::string text);
UnitLine UnitProgress(std::int32_t current, std::int32_t total);
UnitLine UnitFinal(UnitTag tag); // OK or ABORTED

} // namespace protocol
