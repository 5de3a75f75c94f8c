#pragma once
// The simulated Torvane unit's side of the line protocol: it reads the host's requests
// from bytes and answers with protocol lines, running each command's simulated exchange
// one portion per pace. The control drives it over an in-process channel when it
// simulates; torvane-unit drives it over a pseudo-terminal. Its misbehaviours let tests
// and people see how the host copes with a unit that goes wrong.

#include "LineFramer.h"
#include "Lines.h"

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QTimer>

#include <deque>
#include <optional>
#include <utility>
#include <vector>

struct UnitMisbehaviour
{
    int slowMs = 0;       // above 0: one line at a time, this long apart
    int silentAfter = -1; // at or above 0: send nothing after this many lines in all
    int garbleLine = 0;   // above 0: that line of every command's answer goes out garbled
    int errorAfter = -1;  // at or above 0: fail every command after this many of its lines
    int hangUpAfter = -1; // at or above 0: hang up after this many lines of a command
    bool ignoreAbort = false;
    int pauseMs = 0;               // above 0: exactly this long before each final line
    bool strayAfterAnswer = false; // an extra OK after each command's final line
    int idleLineAfter = -1;        // at or above 0: this long after an answer, a FAIL unasked
    bool abortTwice = false;       // answer ABORT with ABORTED twice
};

class UnitEngine : public QObject
{
    Q_OBJECT

public:
    // The identity the unit gives in its handshake.
    static inline const QString Identity =
        QStringLiteral("Torvane TV-200 firmware 4.2 (simulated)");
    // The settings the unit knows.
    static bool KnowsSetting(const std::string &name, const std::string &value, std::string &why);

    // `line` names what the unit is reached through, for its greeting.
    explicit UnitEngine(QString line, UnitMisbehaviour misbehaviour = {},
                        QObject *parent = nullptr);

    // Milliseconds between two portions of an exchange; 0 as fast as the event loop turns.
    void SetPace(int milliseconds);

    // Bytes from the host.
    void Receive(const QByteArray &bytes);

    bool IsRunning() const { return m_commanding; }

signals:
    // Bytes for the host.
    void Transmit(const QByteArray &bytes);
    // The unit drops the line (misbehaviour "hang up").
    void HungUp();
    // A request has been answered in full (for the unit program's own log).
    void Served(const QString &request, const QString &outcome);

private:
    // A planned line, or a pause between two portions.
    using Planned = std::optional<protocol::UnitLine>;

    void OnRequest(const protocol::FramedLine &framed);
    void StartCommand(qint32 number);
    void Stop();
    void Tick();
    // Adds one line to `out`, as the misbehaviours have it.
    void Send(const protocol::UnitLine &line, QByteArray &out);
    void Flush(QByteArray &out);

    QString m_line;
    UnitMisbehaviour m_misbehaviour;
    protocol::LineFramer m_framer;
    std::vector<std::pair<std::string, std::string>> m_settings;

    std::deque<Planned> m_plan;
    QString m_command;  // the running command's request, for Served
    QString m_lastSent; // for Served
    bool m_commanding = false;
    int m_commandLines = 0;
    long m_linesSent = 0;
    bool m_hungUp = false;
    QTimer m_timer;
    QTimer m_idleLine;
    QTimer m_pause;
    bool m_paused = false; // the final line's pause is over
    int m_pace = 30;
};
