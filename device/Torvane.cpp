#include "Torvane.h"

#include <QEventLoop>
#include <QPointer>

#include <utility>

Torvane::Torvane(QString commsettings, QString initfile, QObject *parent)
    : DeviceControl(parent), m_commsettings(std::move(commsettings)),
      m_initfile(std::move(initfile))
{
    m_timer.setInterval(m_pace);
    connect(&m_timer, &QTimer::timeout, this, &Torvane::DeliverPortion);
}

Torvane::~Torvane()
{
    // Whoever destroys a running control lets its ExecuteCommand return; that call then
    // touches nothing of this object any more.
    if (m_loop)
        m_loop->quit();
}

void Torvane::SetPace(int milliseconds)
{
    m_pace = milliseconds < 0 ? 0 : milliseconds;
    m_timer.setInterval(m_pace);
}

CommandResult Torvane::ExecuteCommand(qint32 number)
{
    if (m_running)
        return {false, QStringLiteral("Another command is still running."), {}};

    const std::optional<SimulatedExchange> exchange =
        SimulatedExchangeFor(number, m_commsettings, m_initfile);
    if (!exchange) {
        return {false,
                QStringLiteral("Unknown command number %1: the Torvane knows 1 to 17 and 19 to 22.")
                    .arg(number),
                {}};
    }

    if (!m_simulate) {
        // No serial line is driven yet: say so at once rather than wait for a timeout.
        const QString text =
            QStringLiteral("No Torvane unit answered on the serial line (%1).").arg(m_commsettings);
        QPointer<Torvane> self(this);
        m_running = true;
        emit StatusChanged(0, QStringLiteral("No unit"));
        if (self)
            emit ErrorOccurred(text, exchange->command);
        if (self)
            m_running = false;
        return {false, text, {}};
    }
    return RunSimulated(*exchange);
}

CommandResult Torvane::RunSimulated(const SimulatedExchange &exchange)
{
    QPointer<Torvane> self(this);
    QEventLoop loop;
    m_running = true;
    m_cancelled = false;
    m_steps = &exchange.steps;
    m_next = 0;
    m_loop = &loop;
    m_timer.start();
    loop.exec();
    if (!self)
        return {false, QStringLiteral("The device control was closed during the command."), {}};

    m_timer.stop();
    m_loop = nullptr;
    m_steps = nullptr;
    m_running = false;
    if (!m_cancelled)
        return exchange.result;

    m_cancelled = false;
    emit StatusChanged(0, QStringLiteral("Cancelled"));
    if (self)
        emit ErrorOccurred(QStringLiteral("Command cancelled"), exchange.command);
    return {false, QStringLiteral("The command was cancelled."), {}};
}

void Torvane::CancelCommand()
{
    if (!m_running)
        return;
    m_cancelled = true;
    // Inside a portion the delivery loop sees the flag after the current report.
    if (m_loop && !m_delivering)
        m_loop->quit();
}

void Torvane::DeliverPortion()
{
    // A progress report lets the window process events, and the timer may fire again
    // in there: the portion under way goes on, so reports keep their order.
    if (m_delivering || !m_steps)
        return;
    QPointer<Torvane> self(this);
    m_delivering = true;
    const std::vector<SimulatedStep> &steps = *m_steps;
    while (m_next < steps.size() && !m_cancelled) {
        const SimulatedStep &step = steps[m_next++];
        switch (step.kind) {
        case SimulatedStep::Kind::Pause:
            m_delivering = false;
            return;
        case SimulatedStep::Kind::Status:
            emit StatusChanged(0, step.text);
            break;
        case SimulatedStep::Kind::Message:
            emit MessageReceived(step.text);
            break;
        case SimulatedStep::Kind::Response:
            emit ResponseReceived(step.text);
            break;
        case SimulatedStep::Kind::Error:
            emit ErrorOccurred(step.text, step.where);
            break;
        case SimulatedStep::Kind::Progress:
            emit ProgressChanged(step.text, 0, step.current, step.total);
            break;
        }
        if (!self)
            return;
    }
    m_delivering = false;
    if (m_loop)
        m_loop->quit();
}
