#include "Torvane.h"

#include "CommandNames.h"
#include "Limits.h"

#include <QCoreApplication>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
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
    // lupdate takes a division among the arguments for the start of a comment.
    const int seconds = milliseconds / 1000;
    return milliseconds % 1000 == 0
               ? QCoreApplication::translate("Torvane", "%n second(s)", nullptr, seconds)
               : QCoreApplication::translate("Torvane", "%1 ms").arg(milliseconds);
}

} // namespace

Torvane::Torvane(QString commsettings, QString initfile, QObject *parent)
    : DeviceControl(parent), m_commsettings(std::move(commsettings)),
      m_initfile(std::move(initfile)),
      m_silenceMs(static_cast<int>(protocol::SilenceLimit.count())),
      m_abortWaitMs(static_cast<int>(protocol::AbortWait.count()))
{
    // A coarse timer may fire up to 5 % early; the limits are promised never to.
    for (QTimer *timer : {&m_silence, &m_abortWait}) {
        timer->setSingleShot(true);
        timer->setTimerType(Qt::PreciseTimer);
    }
    connect(&m_silence, &QTimer::timeout, this,
            [this] { OnTimer(m_silence, m_line.SinceLastByte(), m_silenceMs, How::Silence); });
    connect(&m_abortWait, &QTimer::timeout, this, [this] {
        OnTimer(m_abortWait, m_abortClock.nsecsElapsed(), m_abortWaitMs, How::Unconfirmed);
    });
    connect(&m_line, &UnitLink::Readable, this, &Torvane::ProcessLines);
    connect(&m_line, &UnitLink::Lost, this, [this](const QString &reason) {
        EndRun({How::Lost, {}, reason});
    });
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
    if (m_line.Unit())
        m_line.Unit()->SetPace(m_pace);
}

void Torvane::SetTimeLimits(int silenceMs, int abortWaitMs)
{
    m_silenceMs = std::max(1, silenceMs);
    m_abortWaitMs = std::max(1, abortWaitMs);
}

CommandResult Torvane::ExecuteCommand(qint32 number)
{
    if (m_running)
        return {false, tr("Another command is still running."), {}};
    const std::optional<std::string_view> name = protocol::CommandName(number);
    if (!name) {
        return {
            false,
            tr("Unknown command number %1: the Torvane knows 1 to 17 and 19 to 22.").arg(number),
            {}};
    }

    QPointer<Torvane> self(this);
    m_running = true;
    m_cancelled = false;
    m_command = QString::fromLatin1(name->data(), static_cast<qsizetype>(name->size()));
    CommandResult result = Run(number);
    if (!self)
        return {false, tr("The device control was closed during the command."), {}};
    m_running = false;
    m_cancelled = false;
    return result;
}

CommandResult Torvane::Run(qint32 number)
{
    QPointer<Torvane> self(this);
    DropStrays();
    if (!self)
        return {};
    // The line goes with the Simulate switch: a change opens the other one.
    if (m_line.IsOpen() && m_line.IsSimulated() != m_simulate)
        m_line.Close();
    if (!m_line.IsOpen()) {
        if (const std::optional<Ending> failure = OpenLine()) {
            if (failure->how == How::Destroyed)
                return {};
            m_line.Close();
            if (failure->how == How::Cancelled)
                return Cancelled();
            return Fail(failure->text);
        }
        if (!self)
            return {};
    }
    if (m_cancelled)
        return Cancelled();

    CommandRun run(CommandRun::Wait::Command);
    const Ending ending = Send(protocol::Command(number), run);
    switch (ending.how) {
    case How::Destroyed:
        return {};
    case How::Final: {
        // An OK or FAIL that crossed the abort on the line ends the command as cancelled.
        if (m_cancelled)
            return Cancelled();
        const CommandResult result = run.CommandOutcome();
        return result.Success ? result : Fail(result.ErrorText);
    }
    case How::Cancelled:
        m_line.Close();
        return Cancelled();
    case How::Unconfirmed: {
        m_line.Close();
        emit ErrorOccurred(tr("The unit did not confirm the abort within %1; the line "
                              "was closed.")
                               .arg(Seconds(m_abortWaitMs)),
                           m_command);
        if (!self)
            return {};
        return Cancelled();
    }
    case How::Violation:
    case How::Silence: {
        const QString text = Describe(ending);
        m_line.AbortAndClose();
        return Fail(text);
    }
    case How::Lost: {
        const QString text = Describe(ending);
        m_line.Close();
        return Fail(text);
    }
    }
    return {};
}

void Torvane::DropStrays()
{
    const std::optional<UnitLink::Strays> strays = m_line.TakeStrays();
    if (!strays)
        return;
    m_line.Close();
    emit MessageReceived(
        tr("%n line(s) came from the unit while no command ran and were dropped, the first: "
           "\"%1\". The line is opened afresh.",
           nullptr, static_cast<int>(strays->count))
            .arg(FromUtf8(strays->first)));
}

std::optional<Torvane::Ending> Torvane::OpenLine()
{
    // The file is read before anything goes out, so a malformed one sends nothing.
    std::vector<protocol::Setting> settings;
    QString initReport;
    if (std::optional<Ending> failure = ReadInitFile(settings, initReport))
        return failure;
    if (m_simulate) {
        m_line.OpenChannel(m_pace);
    } else if (const QString failure = m_line.OpenSerial(m_commsettings, m_portName);
               !failure.isEmpty()) {
        return Ending{How::Violation, {}, failure};
    }

    QPointer<Torvane> self(this);
    CommandRun handshake(CommandRun::Wait::Hello);
    Ending hello = Send(protocol::Hello(protocol::Version), handshake);
    if (hello.how == How::Silence)
        hello.text = tr("No Torvane unit answered on %1: nothing came for %2 after "
                        "the handshake.")
                         .arg(m_line.Name(), Seconds(m_silenceMs));
    if (hello.how != How::Final)
        return hello.text.isEmpty() ? Ending{hello.how, {}, Describe(hello)} : hello;
    if (hello.line.tag == protocol::UnitTag::Fail)
        return Ending{
            How::Violation,
            {},
            hello.line.text.empty()
                ? tr("The unit refused the handshake without saying why.")
                : tr("The unit refused the handshake: %1").arg(FromUtf8(hello.line.text))};
    if (hello.line.version != protocol::Version)
        return Ending{How::Violation,
                      {},
                      tr("The unit speaks protocol version %1; this tester speaks %2.")
                          .arg(hello.line.version)
                          .arg(protocol::Version)};
    if (std::optional<Ending> failure = SendSettings(settings))
        return failure;
    // Every request of the handshake has had its one final line; anything more is no
    // unit keeping to the protocol.
    if (const std::optional<UnitLink::Strays> strays = m_line.TakeStrays())
        return Ending{How::Violation,
                      {},
                      tr("The unit sent a line out of place: \"%1\"").arg(FromUtf8(strays->first))};
    emit MessageReceived(
        tr("Line open to %1: %2.\r\n%3").arg(m_line.Name(), FromUtf8(hello.line.text), initReport));
    if (!self)
        return Ending{How::Destroyed, {}, {}};
    return std::nullopt;
}

std::optional<Torvane::Ending> Torvane::ReadInitFile(std::vector<protocol::Setting> &settings,
                                                     QString &report)
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
        report = tr("No init file (looked for %1); the unit keeps its own settings.")
                     .arg(looked.join(tr(" and ")));
        return std::nullopt;
    }
    const auto malformed = [&path](const QString &why) {
        return Ending{How::Violation, {}, tr("Init file %1: %2.").arg(path, why)};
    };
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return malformed(tr("cannot be read (%1)").arg(file.errorString()));
    const QByteArray content = file.read(static_cast<qint64>(protocol::MaxInitFile) + 1);
    if (file.error() != QFileDevice::NoError)
        return malformed(tr("cannot be read (%1)").arg(file.errorString()));
    protocol::Result<std::vector<protocol::Setting>> parsed = protocol::ParseInitFile(
        std::string_view(content.constData(), static_cast<std::size_t>(content.size())));
    if (!parsed)
        return malformed(FromUtf8(parsed.error()));
    settings = std::move(parsed.value());
    report = tr("Init file %1: %n setting(s) sent.", nullptr, static_cast<int>(settings.size()))
                 .arg(path);
    m_initPath = path;
    return std::nullopt;
}

std::optional<Torvane::Ending> Torvane::SendSettings(const std::vector<protocol::Setting> &settings)
{
    for (const protocol::Setting &setting : settings) {
        CommandRun run(CommandRun::Wait::Setting);
        const Ending answer = Send(protocol::Set(setting.name, setting.value), run);
        if (answer.how != How::Final)
            return Ending{answer.how, {}, Describe(answer)};
        if (answer.line.tag == protocol::UnitTag::Fail)
            return Ending{How::Violation,
                          {},
                          tr("The unit refused the setting %1 from %2: %3")
                              .arg(FromUtf8(setting.name), m_initPath, FromUtf8(answer.line.text))};
    }
    return std::nullopt;
}

Torvane::Ending Torvane::Send(const protocol::HostLine &request, CommandRun &run)
{
    if (!m_line.Write(request))
        return {How::Lost, {}, Describe({How::Lost, {}, {}})};
    QPointer<Torvane> self(this);
    QEventLoop loop;
    m_run = &run;
    m_loop = &loop;
    m_line.RestartClock();
    m_line.SetRequestOpen(true);
    m_silence.start(m_silenceMs);
    ProcessLines();
    if (!self)
        return {How::Destroyed, {}, {}};
    if (!run.HasEnded())
        loop.exec();
    if (!self)
        return {How::Destroyed, {}, {}};
    m_loop = nullptr;
    m_run = nullptr;
    m_silence.stop();
    m_abortWait.stop();
    // From here whatever comes is no part of this request's answer.
    m_line.SetRequestOpen(false);
    return run.HasEnded() ? run.Result() : Ending{How::Lost, {}, {}};
}

void Torvane::ProcessLines()
{
    // A report can run window events and so this again: the outer pass reads on, and
    // takes whatever the line holds before it ends, since the port does not repeat
    // readyRead for bytes that came meanwhile.
    if (m_processing)
        return;
    QPointer<Torvane> self(this);
    m_processing = true;
    while (m_run && !m_run->HasEnded()) {
        const std::optional<protocol::FramedLine> line = m_line.Next();
        if (!line)
            break;
        if (const std::optional<protocol::UnitLine> report = m_run->Take(*line)) {
            Report(*report);
            if (!self)
                return;
        }
    }
    m_processing = false;
    if (m_run && m_run->HasEnded() && m_loop)
        m_loop->quit();
}

void Torvane::Report(const protocol::UnitLine &line)
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
    default:
        break;
    }
}

void Torvane::EndRun(Ending ending)
{
    if (!m_run || m_run->HasEnded())
        return;
    m_run->End(std::move(ending));
    if (m_loop)
        m_loop->quit();
}

void Torvane::OnTimer(QTimer &timer, qint64 elapsedNs, int limitMs, How how)
{
    const qint64 remainingNs = qint64{limitMs} * 1'000'000 - elapsedNs;
    if (remainingNs > 0) {
        timer.start(static_cast<int>((remainingNs + 999'999) / 1'000'000));
        return;
    }
    EndRun({how, {}, {}});
}

CommandResult Torvane::Fail(const QString &text)
{
    emit ErrorOccurred(text, m_command);
    return {false, text, {}};
}

CommandResult Torvane::Cancelled()
{
    QPointer<Torvane> self(this);
    emit StatusChanged(0, tr("Cancelled"));
    if (self)
        emit ErrorOccurred(tr("Command cancelled"), m_command);
    return {false, tr("The command was cancelled."), {}};
}

void Torvane::CancelCommand()
{
    if (!m_running || m_cancelled)
        return;
    m_cancelled = true;
    if (!m_run || m_run->HasEnded())
        return; // seen before the next request goes out
    if (m_run->Waits() != CommandRun::Wait::Command) {
        EndRun({How::Cancelled, {}, {}});
        return;
    }
    if (m_line.Write(protocol::Abort())) {
        m_run->Aborted();
        m_abortClock.start();
        m_abortWait.start(m_abortWaitMs);
    } else {
        EndRun({How::Cancelled, {}, {}});
    }
}

QString Torvane::Describe(const Ending &ending) const
{
    if (!ending.text.isEmpty())
        return ending.text;
    switch (ending.how) {
    case How::Silence:
        return tr("The unit stopped answering: nothing came on %1 for %2.")
            .arg(m_line.Name(), Seconds(m_silenceMs));
    case How::Lost:
        return tr("The line %1 was lost: nothing can be written to it.").arg(m_line.Name());
    case How::Cancelled:
        return tr("The command was cancelled.");
    default:
        return tr("The line to the unit failed.");
    }
}
