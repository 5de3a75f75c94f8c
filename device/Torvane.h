#pragma once
// Our stand-in for the device maker's Torvane control. It speaks the line protocol of
// docs/protocol.md to a unit: on the serial line, or with Simulate to a simulated unit
// over an in-process channel, so both go through the same reading, framing and error
// handling. ExecuteCommand runs a local event loop until the command has ended, so the
// window stays live and the unit's reports arrive as events meanwhile.

#include "CommandRun.h"
#include "DeviceControl.h"
#include "InitFile.h"
#include "UnitLink.h"

#include <QElapsedTimer>
#include <QPointer>
#include <QString>
#include <QTimer>

#include <optional>
#include <vector>

class QEventLoop;

class Torvane : public DeviceControl
{
    Q_OBJECT

public:
    static inline const QString DefaultCommSettings = QStringLiteral("115200,8,N,1");
    static inline const QString DefaultInitFile = QStringLiteral("init.cfg");
    // Milliseconds between two portions of a simulated exchange.
    static constexpr int DefaultPace = 30;

    explicit Torvane(QString commsettings = DefaultCommSettings, QString initfile = DefaultInitFile,
                     QObject *parent = nullptr);
    ~Torvane() override;

    QString commsettings() const { return m_commsettings; }
    QString initfile() const { return m_initfile; }

    bool Simulate() const override { return m_simulate; }
    void SetSimulate(bool simulate) override { m_simulate = simulate; }

    // The serial port to open, such as /dev/ttyUSB0; empty picks the only one present.
    void SetPort(const QString &port) { m_portName = port; }
    QString Port() const { return m_portName; }

    // 0 runs a simulated exchange as fast as the event loop turns (tests).
    void SetPace(int milliseconds);
    int Pace() const { return m_pace; }

    // How long the unit may stay silent, and how long an abort waits to be confirmed.
    void SetTimeLimits(int silenceMs, int abortWaitMs);

    CommandResult ExecuteCommand(qint32 number) override;
    void CancelCommand() override;

    bool IsRunning() const { return m_running; }
    bool IsLineOpen() const { return m_line.IsOpen(); }

private:
    using Ending = CommandRun::Ending;
    using How = CommandRun::How;

    CommandResult Run(qint32 number);
    // Opens the line, shakes hands and sends the init file; the ending that stopped it.
    std::optional<Ending> OpenLine();
    // The init file's settings, or why it cannot be used; `report` says what was found.
    std::optional<Ending> ReadInitFile(std::vector<protocol::Setting> &settings, QString &report);
    std::optional<Ending> SendSettings(const std::vector<protocol::Setting> &settings);
    // Drops what came while no command ran, with one report of it, and closes the line
    // when anything did: the unit's state is then in doubt and the handshake settles it.
    void DropStrays();

    // Sends a request and waits until its run has ended.
    Ending Send(const protocol::HostLine &request, CommandRun &run);
    void ProcessLines();
    void Report(const protocol::UnitLine &line);
    void EndRun(Ending ending);
    // Ends the run once `limitMs` have passed since `elapsedNs` began, however early the
    // timer woke; otherwise sleeps again for the rest.
    void OnTimer(QTimer &timer, qint64 elapsedNs, int limitMs, How how);

    CommandResult Fail(const QString &text);
    CommandResult Cancelled();
    // The sentence for an ending other than a final line.
    QString Describe(const Ending &ending) const;

    QString m_commsettings;
    QString m_initfile;
    QString m_portName;
    QString m_initPath; // the init file last read
    bool m_simulate = false;
    int m_pace = DefaultPace;
    int m_silenceMs;
    int m_abortWaitMs;

    UnitLink m_line;
    bool m_running = false;
    bool m_cancelled = false;
    QString m_command;           // the running command's name
    CommandRun *m_run = nullptr; // the open request, null between requests
    bool m_processing = false;
    QEventLoop *m_loop = nullptr;
    QTimer m_silence;
    QTimer m_abortWait;
    QElapsedTimer m_abortClock;
};
