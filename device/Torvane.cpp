#include "Torvane.h"

#include "ByteChannel.h"
#include "CommSettings.h"
#include "CommandNames.h"
#include "Escape.h"
#include "InitFile.h"
#include "Limits.h"
#include "SerialLine.h"
#include "UnitEngine.h"

#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QSerialPort>
#include <QStandardPaths>
#include <QStringList>

#include <utility>

namespace {

QString FromUtf8(const std::string &text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QString Seconds(int milliseconds)
{
    return milliseconds % 1000 == 0
               ? QStringLiteral("%1 second%2")
                     .arg(milliseconds / 1000)
                     .arg(milliseconds == 1000 ? QString() : QStringLiteral("s"))
               : QStringLiteral("%1 ms").arg(milliseconds);
}

} // namespace

Torvane::Torvane(QString commsettings, QString initfile, QObject *parent)
    : DeviceControl(parent), m_commsettings(std::move(commsettings)),
      m_initfile(std::move(initfile)),
      m_silenceMs(static_cast<int>(protocol::SilenceLimit.count())),
      m_abortWaitMs(static_cast<int>(protocol::AbortWait.count()))
{
    m_silence.setSingleShot(true);
    m_abortWait.setSingleShot(true);
    connect(&m_silence, &QTimer::timeout, this, [this] { End({How::Silence, {}, {}}); });
    connect(&m_abortWait, &QTimer::timeout, this, [this] { End({How::Unconfirmed, {}, {}}); });
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
    if (m_unit)
        m_unit->SetPace(m_pace);
}

void Torvane::SetTimeLimits(int silenceMs, int abortWaitMs)
{
    m_silenceMs = std::max(1, silenceMs);
    m_abortWaitMs = std::max(1, abortWaitMs);
}

CommandResult Torvane::ExecuteCommand(qint32 number)
{
    if (m_running)
        return {false, QStringLiteral("Another command is still running."), {}};
    const std::optional<std::string_view> name = protocol::CommandName(number);
    if (!name) {
        return {false,
                QStringLiteral("Unknown command number %1: the Torvane knows 1 to 17 and 19 to 22.")
                    .arg(number),
                {}};
    }

    QPointer<Torvane> self(this);
    m_running = true;
    m_cancelled = false;
    m_command = QString::fromLatin1(name->data(), static_cast<qsizetype>(name->size()));
    CommandResult result = Run(number);
    if (!self)
        return {false, QStringLiteral("The device control was closed during the command."), {}};
    m_running = false;
    m_cancelled = false;
    return result;
}

CommandResult Torvane::Run(qint32 number)
{
    QPointer<Torvane> self(this);
    // The line goes with the Simulate switch: a change opens the other one.
    if (m_link && m_linkSimulated != m_simulate)
        CloseLine();
    if (!m_link) {
        if (const std::optional<Ending> failure = OpenLine()) {
            if (failure->how == How::Destroyed)
                return {};
            CloseLine();
            if (failure->how == How::Cancelled)
                return Cancelled();
            return Fail(failure->text);
        }
        if (!self)
            return {};
    }
    if (m_cancelled)
        return Cancelled();

    m_fields.clear();
    if (!Write(protocol::Command(number))) {
        const QString text = Describe({How::Lost, {}, {}});
        CloseLine();
        return Fail(text);
    }
    const Ending ending = Await(Wait::Command);
    switch (ending.how) {
    case How::Destroyed:
        return {};
    case How::Final:
        if (m_cancelled)
            return Cancelled();
        if (ending.line.tag == protocol::UnitTag::Ok) {
            QStringList fields;
            for (const std::string &field : m_fields)
                fields << FromUtf8(field);
            return {true,
                    {},
                    {static_cast<qint32>(fields.size()), fields.join(QStringLiteral("\r\n"))}};
        }
        if (ending.line.tag == protocol::UnitTag::Fail)
            return Fail(FromUtf8(ending.line.text));
        return Fail(QStringLiteral("The unit stopped the command without being asked to."));
    case How::Cancelled:
        CloseLine();
        return Cancelled();
    case How::Unconfirmed: {
        CloseLine();
        emit ErrorOccurred(QStringLiteral("The unit did not confirm the abort within %1; the line "
                                          "was closed.")
                               .arg(Seconds(m_abortWaitMs)),
                           m_command);
        if (!self)
            return {};
        return Cancelled();
    }
    case How::Unreadable:
    case How::Silence:
    case How::Lost: {
        const QString text = Describe(ending);
        // Tell a unit still running that the host has given up on the command.
        if (ending.how != How::Lost)
            Write(protocol::Abort());
        CloseLine();
        return Fail(text);
    }
    }
    return {};
}

std::optional<Torvane::Ending> Torvane::OpenLine()
{
    if (m_simulate) {
        OpenChannel();
    } else if (std::optional<Ending> failure = OpenSerial()) {
        return failure;
    }
    m_framer.Clear();

    QPointer<Torvane> self(this);
    if (!Write(protocol::Hello(protocol::Version)))
        return Ending{How::Lost, {}, Describe({How::Lost, {}, {}})};
    Ending hello = Await(Wait::Hello);
    if (hello.how == How::Silence)
        hello.text = QStringLiteral("No Torvane unit answered on %1: nothing came for %2 after "
                                    "the handshake.")
                         .arg(m_linkName, Seconds(m_silenceMs));
    if (hello.how != How::Final)
        return hello.text.isEmpty() ? Ending{hello.how, {}, Describe(hello)} : hello;
    if (hello.line.tag == protocol::UnitTag::Fail)
        return Ending{
            How::Unreadable,
            {},
            QStringLiteral("The unit refused the handshake: %1").arg(FromUtf8(hello.line.text))};
    if (hello.line.version != protocol::Version)
        return Ending{How::Unreadable,
                      {},
                      QStringLiteral("The unit speaks protocol version %1; this tester speaks %2.")
                          .arg(hello.line.version)
                          .arg(protocol::Version)};

    QString initReport;
    if (std::optional<Ending> failure = SendInitFile(initReport))
        return failure;
    emit MessageReceived(QStringLiteral("Line open to %1: %2.\r\n%3")
                             .arg(m_linkName, FromUtf8(hello.line.text), initReport));
    if (!self)
        return Ending{How::Destroyed, {}, {}};
    return std::nullopt;
}

std::optional<Torvane::Ending> Torvane::OpenSerial()
{
    const protocol::Result<protocol::CommSettings> settings =
        protocol::ParseCommSettings(m_commsettings.toStdString());
    if (!settings)
        return Ending{How::Unreadable, {}, FromUtf8(settings.error())};
    QString path;
    if (const QString failure = serialline::ChoosePort(m_portName, path); !failure.isEmpty())
        return Ending{How::Unreadable, {}, failure};
    if (!m_port) {
        m_port = new QSerialPort(this);
        connect(m_port, &QSerialPort::readyRead, this, &Torvane::OnReadyRead);
        connect(m_port, &QSerialPort::errorOccurred, this, &Torvane::OnPortError);
    }
    if (const QString failure = serialline::Open(*m_port, path, settings.value());
        !failure.isEmpty())
        return Ending{How::Unreadable, {}, failure};
    m_link = m_port;
    m_linkSimulated = false;
    m_linkName = QStringLiteral("%1 at %2").arg(path, m_commsettings);
    return std::nullopt;
}

void Torvane::OpenChannel()
{
    m_channel = new ByteChannel(this);
    m_unit = new UnitEngine(QStringLiteral("an in-process line"), {}, this);
    m_unit->SetPace(m_pace);
    ChannelEnd &unitEnd = m_channel->Unit();
    connect(m_unit, &UnitEngine::Transmit, &unitEnd,
            [&unitEnd](const QByteArray &bytes) { unitEnd.write(bytes); });
    connect(&unitEnd, &QIODevice::readyRead, m_unit,
            [&unitEnd, unit = m_unit.data()] { unit->Receive(unitEnd.readAll()); });
    connect(&m_channel->Host(), &QIODevice::readyRead, this, &Torvane::OnReadyRead);
    m_link = &m_channel->Host();
    m_linkSimulated = true;
    m_linkName = QStringLiteral("the simulated unit");
}

std::optional<Torvane::Ending> Torvane::SendInitFile(QString &report)
{
    QString path;
    QStringList looked;
    if (QFileInfo(m_initfile).isAbsolute()) {
        looked << m_initfile;
    } else {
        looked << QDir::current().absoluteFilePath(m_initfile)
               << QDir(QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
                       QStringLiteral("/Torvane"))
                      .absoluteFilePath(m_initfile);
    }
    for (const QString &candidate : looked) {
        if (QFileInfo::exists(candidate)) {
            path = candidate;
            break;
        }
    }
    if (path.isEmpty()) {
        report = QStringLiteral("No init file (looked for %1); the unit keeps its own settings.")
                     .arg(looked.join(QStringLiteral(" and ")));
        return std::nullopt;
    }
    const auto malformed = [&path](const QString &why) {
        return Ending{How::Unreadable, {}, QStringLiteral("Init file %1: %2.").arg(path, why)};
    };
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return malformed(QStringLiteral("cannot be read (%1)").arg(file.errorString()));
    const QByteArray content = file.read(static_cast<qint64>(protocol::MaxInitFile) + 1);
    if (file.error() != QFileDevice::NoError)
        return malformed(QStringLiteral("cannot be read (%1)").arg(file.errorString()));
    const protocol::Result<std::vector<protocol::Setting>> settings = protocol::ParseInitFile(
        std::string_view(content.constData(), static_cast<std::size_t>(content.size())));
    if (!settings)
        return malformed(FromUtf8(settings.error()));

    for (const protocol::Setting &setting : settings.value()) {
        if (!Write(protocol::Set(setting.name, setting.value)))
            return Ending{How::Lost, {}, Describe({How::Lost, {}, {}})};
        const Ending answer = Await(Wait::Setting);
        if (answer.how != How::Final)
            return Ending{answer.how, {}, Describe(answer)};
        if (answer.line.tag == protocol::UnitTag::Fail)
            return Ending{How::Unreadable,
                          {},
                          QStringLiteral("The unit refused the setting %1 from %2: %3")
                              .arg(FromUtf8(setting.name), path, FromUtf8(answer.line.text))};
    }
    report = QStringLiteral("Init file %1: %2 setting%3 sent.")
                 .arg(path)
                 .arg(settings.value().size())
                 .arg(settings.value().size() == 1 ? QString() : QStringLiteral("s"));
    return std::nullopt;
}

void Torvane::CloseLine()
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
    m_link = nullptr;
    m_framer.Clear();
}

bool Torvane::Write(const protocol::HostLine &line)
{
    if (!m_link)
        return false;
    const std::string wire = protocol::FormatHostLine(line);
    return m_link->write(wire.data(), static_cast<qint64>(wire.size())) ==
           static_cast<qint64>(wire.size());
}

Torvane::Ending Torvane::Await(Wait wait)
{
    QPointer<Torvane> self(this);
    QEventLoop loop;
    m_wait = wait;
    m_ending.reset();
    m_waiting = true;
    m_loop = &loop;
    m_silence.start(m_silenceMs);
    ProcessLines();
    if (!self)
        return {How::Destroyed, {}, {}};
    if (!m_ending)
        loop.exec();
    if (!self)
        return {How::Destroyed, {}, {}};
    m_loop = nullptr;
    m_waiting = false;
    m_silence.stop();
    m_abortWait.stop();
    return m_ending.value_or(Ending{How::Lost, {}, {}});
}

void Torvane::End(Ending ending)
{
    if (!m_waiting || m_ending)
        return;
    m_ending = std::move(ending);
    if (m_loop)
        m_loop->quit();
}

void Torvane::OnReadyRead()
{
    ProcessLines();
}

bool Torvane::TakeBytes()
{
    if (!m_link)
        return false;
    const QByteArray bytes = m_link->readAll();
    if (bytes.isEmpty())
        return false;
    m_framer.Append(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
    // Silence counts from the last byte received.
    if (m_waiting && !m_ending)
        m_silence.start(m_silenceMs);
    return true;
}

void Torvane::ProcessLines()
{
    // A report can run window events and so this again: the outer pass reads on. The
    // port does not repeat readyRead for bytes that come meanwhile, so before it ends
    // the pass takes whatever the port holds.
    if (m_processing) {
        TakeBytes();
        return;
    }
    QPointer<Torvane> self(this);
    m_processing = true;
    TakeBytes();
    while (m_waiting && !m_ending) {
        std::optional<protocol::FramedLine> line = m_framer.Next();
        if (!line) {
            if (!TakeBytes())
                break;
            continue;
        }
        HandleLine(*line);
        if (!self)
            return;
    }
    m_processing = false;
}

void Torvane::HandleLine(const protocol::FramedLine &framed)
{
    protocol::Result<protocol::UnitLine> parsed =
        framed.overlong
            ? protocol::Result<protocol::UnitLine>::Fail("a line longer than 1024 bytes")
            : protocol::ParseUnitLine(framed.text);
    if (m_wait == Wait::Hello) {
        // Leftovers of an earlier session come before the answer: pass them by.
        if (parsed && (parsed.value().tag == protocol::UnitTag::Hello ||
                       parsed.value().tag == protocol::UnitTag::Fail))
            End({How::Final, parsed.value(), {}});
        return;
    }
    if (!parsed) {
        End({How::Unreadable,
             {},
             QStringLiteral("The unit sent a line that could not be read (%1): \"%2\"")
                 .arg(FromUtf8(parsed.error()), FromUtf8(protocol::Visible(framed.text)))});
        return;
    }
    const protocol::UnitLine &line = parsed.value();
    const auto unexpected = [this, &framed] {
        End({How::Unreadable,
             {},
             QStringLiteral("The unit sent a line out of place: \"%1\"")
                 .arg(FromUtf8(protocol::Visible(framed.text)))});
    };
    if (m_wait == Wait::Setting) {
        if (line.tag == protocol::UnitTag::Ok || line.tag == protocol::UnitTag::Fail)
            End({How::Final, line, {}});
        else
            unexpected();
        return;
    }
    if (line.tag == protocol::UnitTag::Hello)
        return unexpected();
    if (line.IsFinal())
        return End({How::Final, line, {}});
    // After an abort nothing more of the command is shown.
    if (!m_cancelled)
        HandleReport(line);
}

void Torvane::HandleReport(const protocol::UnitLine &line)
{
    switch (line.tag) {
    case protocol::UnitTag::Status:
        emit StatusChanged(0, FromUtf8(line.text));
        break;
    case protocol::UnitTag::Message:
        emit MessageReceived(FromUtf8(line.text));
        break;
    case protocol::UnitTag::Response:
        emit ResponseReceived(FromUtf8(line.text));
        break;
    case protocol::UnitTag::Error:
        emit ErrorOccurred(FromUtf8(line.text), FromUtf8(line.place));
        break;
    case protocol::UnitTag::Progress:
        emit ProgressChanged(m_command, 0, line.current, line.total);
        break;
    case protocol::UnitTag::Field:
        if (m_fields.size() == protocol::MaxFields)
            End({How::Unreadable,
                 {},
                 QStringLiteral("The unit sent more than %1 fields.").arg(protocol::MaxFields)});
        else
            m_fields.push_back(line.text);
        break;
    default:
        break;
    }
}

void Torvane::OnPortError()
{
    if (!m_port || !m_port->isOpen())
        return;
    const QSerialPort::SerialPortError error = m_port->error();
    if (error == QSerialPort::NoError || error == QSerialPort::TimeoutError)
        return;
    // A port whose other end has gone keeps reporting for as long as it stays open:
    // close it on the first report.
    const QString reason = m_port->errorString();
    const bool ours = m_link == m_port;
    m_port->close();
    if (!ours)
        return;
    m_link = nullptr;
    m_framer.Clear();
    End({How::Lost,
         {},
         QStringLiteral("The serial line %1 was lost (%2): the unit was unplugged "
                        "or hung up.")
             .arg(m_linkName, reason)});
}

CommandResult Torvane::Fail(const QString &text)
{
    emit ErrorOccurred(text, m_command);
    return {false, text, {}};
}

CommandResult Torvane::Cancelled()
{
    QPointer<Torvane> self(this);
    emit StatusChanged(0, QStringLiteral("Cancelled"));
    if (self)
        emit ErrorOccurred(QStringLiteral("Command cancelled"), m_command);
    return {false, QStringLiteral("The command was cancelled."), {}};
}

void Torvane::CancelCommand()
{
    if (!m_running || m_cancelled)
        return;
    m_cancelled = true;
    if (!m_waiting)
        return; // seen before the next request goes out
    if (m_wait != Wait::Command) {
        End({How::Cancelled, {}, {}});
        return;
    }
    if (Write(protocol::Abort()))
        m_abortWait.start(m_abortWaitMs);
    else
        End({How::Cancelled, {}, {}});
}

QString Torvane::Describe(const Ending &ending) const
{
    if (!ending.text.isEmpty())
        return ending.text;
    switch (ending.how) {
    case How::Silence:
        return QStringLiteral("The unit stopped answering: nothing came on %1 for %2.")
            .arg(m_linkName, Seconds(m_silenceMs));
    case How::Lost:
        return QStringLiteral("The line %1 was lost: nothing can be written to it.")
            .arg(m_linkName);
    case How::Cancelled:
        return QStringLiteral("The command was cancelled.");
    default:
        return QStringLiteral("The line to the unit failed.");
    }
}
