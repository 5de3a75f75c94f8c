#pragma once
// One request on the line, from the moment it is sent to its final line: what it waits
// for, the reports and fields read for it, and how it ended. A run is made afresh for
// each request and reads only the lines the line hands it while it is open, so its
// result can only be built from what the unit sent for it.

#include "CommandResult.h"
#include "LineFramer.h"
#include "Lines.h"

#include <QString>

#include <optional>
#include <string>
#include <vector>

class CommandRun
{
public:
    enum class Wait { Hello, Setting, Command };
    enum class How { Final, Violation, Silence, Lost, Cancelled, Unconfirmed, Destroyed };
    struct Ending
    {
        How how = How::Final;
        protocol::UnitLine line; // the final line
        QString text;            // what went wrong
    };

    explicit CommandRun(Wait wait) : m_wait(wait) {}

    Wait Waits() const { return m_wait; }

    // Reads one line of the answer. Gives back a report to show, if the line is one;
    // a final line or a fault ends the run.
    std::optional<protocol::UnitLine> Take(const protocol::FramedLine &framed);

    // The host has sent ABORT: nothing more of the command is shown.
    void Aborted() { m_aborted = true; }
    bool WasAborted() const { return m_aborted; }

    // Ends the run from outside (silence, a lost line, a cancel); the first ending holds.
    void End(Ending ending);
    bool HasEnded() const { return m_ending.has_value(); }
    const Ending &Result() const { return *m_ending; }

    // The outcome of a command that ended with its final line.
    CommandResult CommandOutcome() const;

private:
    void Violation(const QString &text);

    Wait m_wait;
    bool m_aborted = false;
    std::vector<std::string> m_fields;
    std::optional<Ending> m_ending;
};
