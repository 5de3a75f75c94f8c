#pragma once
// Our stand-in for the device maker's Torvane control. It speaks the line protocol of
// docs/protocol.md to a unit: on the serial line, or with Simulate to a simulated unit
// over an in-process channel, so both go through the same reading, framing and error
// handling. ExecuteCommand runs a local event loop until the command has ended, so the
// window stays live and the unit's reports arrive as events meanwhile.

#include "DeviceControl.h"
#include "LineFramer.h"
#include "Lines.h"

#include <QPointer>
#include <QString>
#include <QTimer>

#include <optional>
#include <vector>

class ByteChannel;
class QEventLoop;
class QIODevice;
class QSerialPort;
class UnitEngine;

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
    bool IsLineOpen() const { return m_link != nullptr; }

private:
    enum class Wait { Hello, Setting, Command };
    enum class How { Final, Unreadable, Silence, Lost, Cancelled, Unconfirmed, Destroyed };
    struct Ending
    {
        How how = How::Final;
        protocol::UnitLine line; // the final line
        QString text;            // what went wrong
    };

    CommandResult Run(qint32 number);
    // Opens the line, shakes hands and sends the init file; the ending that stopped it.
    std::optional<Ending> OpenLine();
    std::optional<Ending> OpenSerial();
    void OpenChannel();
    std::optional<Ending> SendInitFile(QString &report);
    void CloseLine();

    bool Write(const protocol::HostLine &line);
    Ending Await(Wait wait);
    void End(Ending ending);
    void OnReadyRead();
    // Moves the bytes the line holds to the framer; false when there were none.
    bool TakeBytes();
    void ProcessLines();
    void HandleLine(const protocol::FramedLine &framed);
    void HandleReport(const protocol::UnitLine &line);
    void OnPortError();

    CommandResult Fail(const QString &text);
    CommandResult Cancelled();
    // The sentence for an ending other than a final line.
    QString Describe(const Ending &ending) const;

    QString m_commsettings;
    QString m_initfile;
    QString m_portName;
    bool m_simulate = false;
    int m_pace = DefaultPace;
    int m_silenceMs;
    int m_abortWaitMs;

    // The open line: the serial port or the channel's end, null when closed.
    QIODevice *m_link = nullptr;
    bool m_linkSimulated = false;
    QString m_linkName;
    QSerialPort *m_port = nullptr;
    QPointer<ByteChannel> m_channel;
    QPointer<UnitEngine> m_unit;
    protocol::LineFramer m_framer;

    bool m_running = false;
    bool m_cancelled = false;
    QString m_command; // the running command's name
    bool m_waiting = false;
    Wait m_wait = Wait::Command;
    std::optional<Ending> m_ending;
    bool m_processing = false;
    std::vector<std::string> m_fields;
    QEventLoop *m_loop = nullptr;
    QTimer m_silence;
    QTimer m_abortWait;
};
