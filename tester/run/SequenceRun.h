#pragma once
// Runs a sequence file's commands on one unit through the device control, as Send does
// in the window, and keeps for each command its outcome, its time and its log entries.
// The log entries are the window's own, with all three view switches on.

#include "Sequence.h"

#include <QDateTime>
#include <QObject>
#include <QString>
#include <QStringList>

#include <functional>
#include <vector>

class DeviceControl;

struct StepOutcome
{
    enum class State { NotRun, Passed, Failed };
    tester::SequenceStep step;
    State state = State::NotRun;
    QString failure; // why it failed, for a person
    double seconds = 0;
    QStringList log; // its entries, each without the break that introduces it
};

class SequenceRun : public QObject
{
    Q_OBJECT

public:
    SequenceRun(DeviceControl &device, tester::Sequence sequence, bool keepGoing);

    // Called with each log entry as it is written (stamp, ": ", text).
    void OnEntry(std::function<void(const QString &)> handler) { m_onEntry = std::move(handler); }
    // Called after each command with its outcome, its place and the number of commands.
    void OnStep(std::function<void(const StepOutcome &, int, int)> handler)
    {
        m_onStep = std::move(handler);
    }
    // Called with the ESN's record folder after a successful Read ESN.
    void OnUnit(std::function<void(const QString &)> handler) { m_onUnit = std::move(handler); }
    void SetClock(std::function<QDateTime()> clock) { m_clock = std::move(clock); }

    // Runs every command in order until one fails (all of them with keepGoing) or
    // Interrupt() is called; true when every command passed.
    bool Run();
    // Stops the run: the running command is cancelled as Cancel does, no other starts.
    void Interrupt();
    bool WasInterrupted() const { return m_interrupted; }

    const std::vector<StepOutcome> &Outcomes() const { return m_outcomes; }
    QDateTime Started() const { return m_started; }

private:
    void RunStep(StepOutcome &outcome);
    void Log(const QString &text);

    DeviceControl &m_device;
    bool m_keepGoing;
    std::vector<StepOutcome> m_outcomes;
    StepOutcome *m_current = nullptr;
    bool m_interrupted = false;
    QDateTime m_started;
    std::function<void(const QString &)> m_onEntry;
    std::function<void(const StepOutcome &, int, int)> m_onStep;
    std::function<void(const QString &)> m_onUnit;
    std::function<QDateTime()> m_clock;
};
