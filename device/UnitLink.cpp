#include "UnitLink.h"

#include "ByteChannel.h"
#include "CommSettings.h"
#include "Escape.h"
#include "SerialLine.h"

#include <QFileInfo>
#include <QSerialPort>

namespace {

QString FromUtf8(const std::string &text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

} // namespace

UnitLink::UnitLink(QObject *parent) : QObject(parent)
{
    m_lastByte.start();
}

QString UnitLink::OpenSerial(const QString &commsettings, const QString &port)
{
    const protocol::Result<protocol::CommSettings> settings =
        protocol::ParseCommSettings(commsettings.toStdString());
    if (!settings)
        return FromUtf8(settings.error());
    QString path;
    if (const QString failure = serialline::ChoosePort(port, path); !failure.isEmpty())
        return failure;
    if (!m_port) {
        m_port = new QSerialPort(this);
        connect(m_port, &QSerialPort::readyRead, this, &UnitLink::OnReadyRead);
        connect(m_port, &QSerialPort::errorOccurred, this, &UnitLink::OnPortError);
    }
    if (const QString failure = serialline::Open(*m_port, path, settings.value());
        !failure.isEmpty())
        return failure;
    m_device = m_port;
    m_simulated = false;
    m_path = path;
    m_name = tr("%1 at %2").arg(path, commsettings);
    m_framer.Clear();
    m_strays = {};
    return {};
}

void UnitLink::OpenChannel(int pace, const UnitMisbehaviour &misbehaviour)
{
    m_channel = new ByteChannel(this);
    m_unit = new UnitEngine(QStringLiteral("an in-process line"), misbehaviour, this);
    m_unit->SetPace(pace);
    ChannelEnd &unitEnd = m_channel->Unit();
    connect(m_unit, &UnitEngine::Transmit, &unitEnd,
            [&unitEnd](const QByteArray &bytes) { unitEnd.write(bytes); });
    connect(&unitEnd, &QIODevice::readyRead, m_unit,
            [&unitEnd, unit = m_unit.data()] { unit->Receive(unitEnd.readAll()); });
    connect(&m_channel->Host(), &QIODevice::readyRead, this, &UnitLink::OnReadyRead);
    m_device = &m_channel->Host();
    m_simulated = true;
    m_path.clear();
    m_name = tr("the simulated unit");
    m_framer.Clear();
    m_strays = {};
}

void UnitLink::Close()
{
    if (m_port && m_port->isOpen())
        m_port->close();
    // The channel may be the sender of what runs now: let it go when the loop turns.
    if (m_channel)
        m_channel->deleteLater();
    if (m_unit)
        m_unit->deleteLater();
    m_channel = nullptr;
    m_unit = nullptr;
    m_device = nullptr;
    m_framer.Clear();
    // Whatever was still coming goes with the line it came on.
    m_strays = {};
}

bool UnitLink::Write(const protocol::HostLine &line)
{
    if (!m_device)
        return false;
    const std::string wire = protocol::FormatHostLine(line);
    return m_device->write(wire.data(), static_cast<qint64>(wire.size())) ==
           static_cast<qint64>(wire.size());
}

void UnitLink::AbortAndClose()
{
    // The port writes from its buffer when the event loop turns, and closing drops that
    // buffer: push the line out first, or it never leaves.
    if (Write(protocol::Abort()) && m_port && m_device == m_port)
        m_port->flush();
    Close();
}

void UnitLink::SetRequestOpen(bool open)
{
    m_requestOpen = open;
    if (!open)
        CollectStrays();
}

std::optional<protocol::FramedLine> UnitLink::Next()
{
    for (;;) {
        if (std::optional<protocol::FramedLine> line = m_framer.Next())
            return line;
        if (!TakeBytes())
            return std::nullopt;
    }
}

std::optional<UnitLink::Strays> UnitLink::TakeStrays()
{
    // What the system holds for the port reaches it only when the event loop turns:
    // fetch it now, so that a line sent before the next request counts as before it.
    if (m_port && m_device == m_port) {
        m_port->waitForReadyRead(0);
        m_port->clearError(); // nothing waiting is no error
    }
    CollectStrays();
    if (m_framer.Pending() > 0) {
        NoteStray("(an unfinished line)");
        m_framer.Clear();
    }
    if (m_strays.count == 0)
        return std::nullopt;
    return std::exchange(m_strays, {});
}

void UnitLink::OnReadyRead()
{
    if (m_requestOpen)
        emit Readable();
    else
        CollectStrays();
}

bool UnitLink::TakeBytes()
{
    if (!m_device)
        return false;
    const QByteArray bytes = m_device->readAll();
    if (bytes.isEmpty())
        return false;
    m_lastByte.restart();
    m_framer.Append(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
    return true;
}

void UnitLink::CollectStrays()
{
    if (m_requestOpen)
        return;
    TakeBytes();
    while (std::optional<protocol::FramedLine> line = m_framer.Next())
        NoteStray(protocol::Visible(line->text));
}

void UnitLink::NoteStray(std::string_view text)
{
    if (m_strays.count++ == 0)
        m_strays.first = text;
}

void UnitLink::OnPortError()
{
    if (!m_port || !m_port->isOpen())
        return;
    const QSerialPort::SerialPortError error = m_port->error();
    if (error == QSerialPort::NoError || error == QSerialPort::TimeoutError)
        return;
    // A port whose other end has gone keeps reporting for as long as it stays open:
    // close it on the first report. Qt files a hang-up as a resource error and gives it
    // whatever errno was left from an unrelated call, so that text is no reason to show.
    const QString system = m_port->errorString();
    const bool ours = m_device == m_port;
    m_port->close();
    if (!ours)
        return;
    m_device = nullptr;
    m_framer.Clear();
    QString reason;
    if (!QFileInfo::exists(m_path))
        reason = tr("The serial line %1 was lost: the device went away (the unit "
                    "was unplugged or hung up).")
                     .arg(m_name);
    else if (error == QSerialPort::ResourceError)
        reason = tr("The serial line %1 was lost: the unit hung up.").arg(m_name);
    else
        reason = tr("The serial line %1 was lost: %2.").arg(m_name, system);
    emit Lost(reason);
}
