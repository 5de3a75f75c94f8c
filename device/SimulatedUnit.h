#pragma once
// The exchange a simulated Torvane unit has for each command: what it reports, in
// order, and what the command returns. Pauses split the exchange into the portions the
// unit sends one pace apart (UnitEngine puts them on the line).

#include "CommandResult.h"

#include <QString>

#include <optional>
#include <vector>

struct SimulatedStep
{
    enum class Kind { Status, Message, Response, Error, Progress, Pause };
    Kind kind = Kind::Pause;
    QString text;  // status, message, response, error description or progress text
    QString where; // where an error occurred
    qint32 current = 0;
    qint32 total = 0;
};

struct SimulatedExchange
{
    QString command; // the command's name, for reports about it
    std::vector<SimulatedStep> steps;
    CommandResult result;
};

// Nothing for a number the unit does not know (the table has 1 to 17 and 19 to 22).
// `line` names what the unit is reached through and `settings` what the init file gave
// it, for its greeting.
std::optional<SimulatedExchange> SimulatedExchangeFor(qint32 number, const QString &line,
                                                      const QString &settings);

// The number of messages "Read Flash" streams, one per 16 bytes of flash.
inline constexpr int FlashDumpLines = 10000;
