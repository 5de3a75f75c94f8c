#include "UnitEngine.h"

#include "CommandNames.h"
#include "Escape.h"
#include "SimulatedUnit.h"

#include <QStringList>

using protocol::UnitLine;
using protocol::UnitTag;

namespace {

std::string Utf8(const QString &text)
{
    return text.toUtf8().toStdString();
}

std::vector<std::string> SplitFields(const QString &text, qint32 count)
{
    std::vector<std::string> fields;
    if (count <= 0)
        return fields;
    for (const QString &field : text.split(QStringLiteral("\r\n")))
        fields.push_back(Utf8(field));
    return fields;
}

} // namespace

bool UnitEngine::KnowsSetting(const std::string &name, const std::string &value, std::string &why)
{
    if (name == "unit.name" || name == "timezone")
        return true;
    if (name == "backlight") {
        bool fits = !value.empty() && value.size() <= 3;
        for (const char c : value)
            fits = fits && c >= '0' && c <= '9';
        if (fits && std::stoi(value) <= 100)
            return true;
        why = "backlight takes 0 to 100, not " + value;
        return false;
    }
    if (name == "gps.mode") {
        if (value == "warm" || value == "hot")
            return true;
        why = "Unknown value for gps.mode: " + value;
        return false;
    }
    why = "Unknown setting: " + name;
    return false;
}

UnitEngine::UnitEngine(QString line, UnitMisbehaviour misbehaviour, QObject *parent)
    : QObject(parent), m_line(std::move(line)), m_misbehaviour(misbehaviour)
{
    m_timer.setInterval(m_misbehaviour.slowMs > 0 ? m_misbehaviour.slowMs : m_pace);
    // The pause is to be exact: a coarse timer may end it up to 5 % early or late.
    m_pause.setSingleShot(true);
    m_pause.setTimerType(Qt::PreciseTimer);
    connect(&m_pause, &QTimer::timeout, this, [this] {
        m_paused = true;
        Tick();
    });
    connect(&m_timer, &QTimer::timeout, this, &UnitEngine::Tick);
    m_idleLine.setSingleShot(true);
    m_idleLine.setInterval(std::max(0, m_misbehaviour.idleLineAfter));
    connect(&m_idleLine, &QTimer::timeout, this, [this] {
        if (m_commanding)
            return;
        QByteArray out;
        Send(protocol::UnitText(UnitTag::Fail, "Unasked: the unit spoke while idle"), out);
        Flush(out);
        emit Served(QStringLiteral("(idle)"), m_lastSent);
    });
}

void UnitEngine::SetPace(int milliseconds)
{
    m_pace = std::max(0, milliseconds);
    if (m_misbehaviour.slowMs <= 0)
        m_timer.setInterval(m_pace);
}

void UnitEngine::Receive(const QByteArray &bytes)
{
    if (m_hungUp)
        return;
    m_framer.Append(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
    while (auto line = m_framer.Next())
        OnRequest(*line);
}

void UnitEngine::OnRequest(const protocol::FramedLine &framed)
{
    QByteArray out;
    const auto answer = [this, &out, &framed](const UnitLine &line) {
        Send(line, out);
        Flush(out);
        if (!m_hungUp)
            emit Served(QString::fromStdString(protocol::Visible(framed.text)), m_lastSent);
    };
    if (framed.overlong) {
        if (!m_commanding)
            answer(protocol::UnitText(UnitTag::Fail,
                                      "Unreadable request: a line longer than 1024 bytes"));
        return;
    }
    const protocol::Result<protocol::HostLine> request = protocol::ParseHostLine(framed.text);
    // A HELLO starts afresh even in the middle of a command: the host has opened the
    // line again and wants none of the old command.
    if (request && request.value().tag == protocol::HostTag::Hello) {
        Stop();
        const qint32 version = request.value().number;
        m_settings.clear();
        if (version == protocol::Version)
            answer(protocol::UnitHello(protocol::Version, Utf8(Identity)));
        else
            answer(protocol::UnitText(UnitTag::Fail, "Protocol version " + std::to_string(version) +
                                                         " is not supported; this unit speaks 1"));
        return;
    }
    if (m_commanding) {
        if (request && request.value().tag == protocol::HostTag::Abort &&
            !m_misbehaviour.ignoreAbort) {
            Stop();
            if (m_misbehaviour.abortTwice)
                Send(protocol::UnitFinal(UnitTag::Aborted), out);
            answer(protocol::UnitFinal(UnitTag::Aborted));
        }
        return;
    }
    if (!request) {
        answer(protocol::UnitText(UnitTag::Fail, "Unreadable request: " + request.error()));
        return;
    }
    const protocol::HostLine &host = request.value();
    switch (host.tag) {
    case protocol::HostTag::Hello:
        break;
    case protocol::HostTag::Abort:
        break; // nothing runs: nothing to answer
    case protocol::HostTag::Set: {
        std::string why;
        if (KnowsSetting(host.name, host.text, why)) {
            m_settings.emplace_back(host.name, host.text);
            answer(protocol::UnitFinal(UnitTag::Ok));
        } else {
            answer(protocol::UnitText(UnitTag::Fail, why));
        }
        break;
    }
    case protocol::HostTag::Command:
        m_command = QString::fromStdString(framed.text);
        StartCommand(host.number);
        break;
    }
}

void UnitEngine::StartCommand(qint32 number)
{
    QStringList names;
    for (const auto &setting : m_settings)
        names << QString::fromStdString(setting.first);
    const QString settings =
        names.isEmpty()
            ? QStringLiteral("none")
            : QStringLiteral("%1 (%2)").arg(names.size()).arg(names.join(QStringLiteral(", ")));
    const std::optional<SimulatedExchange> exchange =
        SimulatedExchangeFor(number, m_line, settings);
    if (!exchange) {
        QByteArray out;
        Send(protocol::UnitText(UnitTag::Fail, "Unknown command number " + std::to_string(number) +
                                                   ": the Torvane knows 1 to 17 and 19 to 22."),
             out);
        Flush(out);
        emit Served(m_command, m_lastSent);
        return;
    }
    for (const SimulatedStep &step : exchange->steps) {
        switch (step.kind) {
        case SimulatedStep::Kind::Pause:
            m_plan.push_back(std::nullopt);
            break;
        case SimulatedStep::Kind::Status:
            m_plan.push_back(protocol::UnitText(UnitTag::Status, Utf8(step.text)));
            break;
        case SimulatedStep::Kind::Message:
            m_plan.push_back(protocol::UnitText(UnitTag::Message, Utf8(step.text)));
            break;
        case SimulatedStep::Kind::Response:
            m_plan.push_back(protocol::UnitText(UnitTag::Response, Utf8(step.text)));
            break;
        case SimulatedStep::Kind::Error:
            m_plan.push_back(protocol::UnitError(Utf8(step.where), Utf8(step.text)));
            break;
        case SimulatedStep::Kind::Progress:
            m_plan.push_back(protocol::UnitProgress(step.current, step.total));
            break;
        }
    }
    const CommandDetails &details = exchange->result.Details;
    for (std::string &field : SplitFields(details.FieldText, details.FieldCount))
        m_plan.push_back(protocol::UnitText(UnitTag::Field, std::move(field)));
    m_plan.push_back(protocol::UnitFinal(UnitTag::Ok));
    m_commandLines = 0;
    m_commanding = true;
    m_paused = false;
    m_idleLine.stop();
    m_timer.start();
}

void UnitEngine::Stop()
{
    m_plan.clear();
    m_timer.stop();
    m_pause.stop();
    m_commanding = false;
}

void UnitEngine::Tick()
{
    QByteArray out;
    const bool oneAtATime = m_misbehaviour.slowMs > 0;
    while (m_commanding && !m_plan.empty()) {
        if (m_misbehaviour.pauseMs > 0 && !m_paused && m_plan.size() == 1) {
            m_timer.stop();
            m_pause.start(m_misbehaviour.pauseMs);
            break;
        }
        Planned next = std::move(m_plan.front());
        m_plan.pop_front();
        if (!next) {
            if (oneAtATime)
                continue;
            break;
        }
        Send(*next, out);
        if (oneAtATime)
            break;
    }
    const bool ended = !m_commanding || m_plan.empty();
    if (ended)
        Stop();
    Flush(out);
    if (m_hungUp) {
        emit HungUp();
        return;
    }
    if (ended)
        emit Served(m_command, m_lastSent);
}

void UnitEngine::Send(const UnitLine &line, QByteArray &out)
{
    if (m_hungUp)
        return;
    if (m_misbehaviour.silentAfter >= 0 && m_linesSent >= m_misbehaviour.silentAfter) {
        Stop();
        return;
    }
    const bool commanding = m_commanding;
    UnitLine sent = line;
    if (commanding) {
        if (m_misbehaviour.hangUpAfter >= 0 && m_commandLines >= m_misbehaviour.hangUpAfter) {
            m_hungUp = true;
            Stop();
            return;
        }
        if (m_misbehaviour.errorAfter >= 0 && m_commandLines >= m_misbehaviour.errorAfter) {
            sent = protocol::UnitText(UnitTag::Fail, "Flash checksum mismatch at 0x01F400");
            Stop();
        } else if (line.IsFinal()) {
            m_commanding = false;
        }
        ++m_commandLines;
    }
    std::string wire = protocol::FormatUnitLine(sent);
    ++m_linesSent;
    m_lastSent = QString::fromStdString(protocol::Visible(wire.substr(0, wire.size() - 2)));
    if (commanding && m_commandLines == m_misbehaviour.garbleLine) {
        // Flip the top bit of every byte but the line end: no longer ASCII, so unreadable.
        for (std::size_t i = 0; i + 2 < wire.size(); ++i)
            wire[i] = static_cast<char>(static_cast<unsigned char>(wire[i]) ^ 0x80u);
    }
    out.append(wire.data(), static_cast<qsizetype>(wire.size()));
    if (commanding && sent.IsFinal()) {
        if (m_misbehaviour.strayAfterAnswer)
            out.append("OK\r\n");
        if (m_misbehaviour.idleLineAfter >= 0)
            m_idleLine.start();
    }
}

void UnitEngine::Flush(QByteArray &out)
{
    if (!out.isEmpty())
        emit Transmit(out);
    out.clear();
}
