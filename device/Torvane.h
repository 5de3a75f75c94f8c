#pragma once
// Our stand-in for the device maker's Torvane control. Without Simulate it looks for a
// unit on the serial line; there is none on this machine yet, so every command fails at
// once. With Simulate a simulated unit answers, one portion of its exchange per timer
// tick while ExecuteCommand runs a local event loop, so the window stays live.

#include "DeviceControl.h"
#include "SimulatedUnit.h"

#include <QString>
#include <QTimer>

#include <cstddef>

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

    // 0 runs a simulated exchange as fast as the event loop turns (tests).
    void SetPace(int milliseconds);
    int Pace() const { return m_pace; }

    CommandResult ExecuteCommand(qint32 number) override;
    void CancelCommand() override;

    bool IsRunning() const { return m_running; }

private:
    CommandResult RunSimulated(const SimulatedExchange &exchange);
    void DeliverPortion();

    QString m_commsettings;
    QString m_initfile;
    bool m_simulate = false;
    int m_pace = DefaultPace;

    bool m_running = false;
    bool m_cancelled = false;
    bool m_delivering = false;
    const std::vector<SimulatedStep> *m_steps = nullptr;
    std::size_t m_next = 0;
    QEventLoop *m_loop = nullptr;
    QTimer m_timer;
};
