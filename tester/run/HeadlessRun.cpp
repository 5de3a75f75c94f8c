#include "HeadlessRun.h"

#include "RunReport.h"
#include "Sequence.h"
#include "SequenceRun.h"
#include "Torvane.h"
#include "UnitRecord.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cstdio>
#include <memory>

#ifdef Q_OS_UNIX
#include <QSocketNotifier>

#include <csignal>

#include <fcntl.h>
#include <unistd.h>
#endif

namespace {

void Say(std::FILE *stream, const QString &text)
{
    const QByteArray bytes = (text + QLatin1Char('\n')).toUtf8();
    std::fwrite(bytes.constData(), 1, static_cast<std::size_t>(bytes.size()), stream);
    std::fflush(stream);
}

int CannotRunBecause(const QString &why)
{
    Say(stderr, QStringLiteral("probator: %1").arg(why));
    return CannotRun;
}

#ifdef Q_OS_UNIX
int g_interruptPipe[2] = {-1, -1};

void OnInterrupt(int)
{
    const char byte = 0;
    [[maybe_unused]] const ssize_t ignored = ::write(g_interruptPipe[1], &byte, 1);
}

// Ctrl+C reaches the event loop through a pipe, where it cancels as the Cancel button
// does; the run ends once the control has settled the command.
std::unique_ptr<QSocketNotifier> CatchInterrupts(SequenceRun &run)
{
    if (::pipe2(g_interruptPipe, O_CLOEXEC | O_NONBLOCK) != 0)
        return nullptr;
    auto notifier = std::make_unique<QSocketNotifier>(g_interruptPipe[0], QSocketNotifier::Read);
    QObject::connect(notifier.get(), &QSocketNotifier::activated, &run, [&run] {
        char bytes[16];
        while (::read(g_interruptPipe[0], bytes, sizeof bytes) > 0) {
        }
        Say(stderr, QStringLiteral("probator: interrupted; cancelling the running command"));
        run.Interrupt();
    });
    std::signal(SIGINT, OnInterrupt);
    std::signal(SIGTERM, OnInterrupt);
    return notifier;
}
#endif

QString StepLine(const StepOutcome &outcome, int place, int count)
{
    const QString head = QStringLiteral("[%1/%2] %3: ")
                             .arg(place)
                             .arg(count)
                             .arg(QString::fromStdString(outcome.step.name));
    const QString time = QString::number(outcome.seconds, 'f', 3);
    if (outcome.state == StepOutcome::State::Passed)
        return head + QStringLiteral("passed in %1 s").arg(time);
    return head + QStringLiteral("FAILED in %1 s: %2").arg(time, outcome.failure);
}

} // namespace

int RunWithoutWindow(const tester::RunOptions &options)
{
    const QString path = QString::fromLocal8Bit(options.sequence.c_str());
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return CannotRunBecause(QStringLiteral("cannot read %1: %2").arg(path, file.errorString()));
    const QByteArray text = file.read(static_cast<qint64>(tester::MaxSequenceBytes) + 1);
    file.close();
    tester::Sequence sequence =
        tester::ReadSequence(options.sequence, std::string_view(text.constData(), text.size()));
    if (!sequence.mistakes.empty()) {
        for (const std::string &mistake : sequence.mistakes)
            Say(stderr, QString::fromStdString(mistake));
        return CannotRun;
    }
    const QString reportPath = QString::fromLocal8Bit(options.report.c_str());
    if (!reportPath.isEmpty() && !QFileInfo(reportPath).absoluteDir().exists())
        return CannotRunBecause(
            QStringLiteral("the folder of the report %1 does not exist").arg(reportPath));

    Torvane device;
    device.SetPort(QString::fromLocal8Bit(options.port.c_str()));
    device.SetSimulate(options.simulate);

    SequenceRun run(device, std::move(sequence), options.keepGoing);
    RunSummary summary;
    summary.sequence = path;
    summary.port = options.simulate ? QString() : device.Port();
    summary.unit = QStringLiteral("unknown");
    summary.started = QDateTime::currentDateTime();
    run.SetClock(nullptr);

    std::unique_ptr<UnitRecord> record;
    if (!options.recordDir.empty()) {
        record = std::make_unique<UnitRecord>(QString::fromLocal8Bit(options.recordDir.c_str()),
                                              summary.started);
        if (!record->IsOpen())
            return CannotRunBecause(QStringLiteral("no record: %1").arg(record->Error()));
    }
    run.OnEntry([&record](const QString &entry) {
        Say(stdout, entry);
        if (record)
            record->Write(entry);
    });
    run.OnStep([](const StepOutcome &outcome, int place, int count) {
        Say(stderr, StepLine(outcome, place, count));
    });
    run.OnUnit([&record, &summary](const QString &unit) {
        if (summary.unit == QLatin1String("unknown"))
            summary.unit = unit;
        if (record)
            record->BelongsTo(unit);
    });
#ifdef Q_OS_UNIX
    const std::unique_ptr<QSocketNotifier> interrupts = CatchInterrupts(run);
#endif

    const bool passed = run.Run();
    summary.interrupted = run.WasInterrupted();

    const std::vector<StepOutcome> &outcomes = run.Outcomes();
    const auto count = [&outcomes](StepOutcome::State state) {
        return std::count_if(outcomes.begin(), outcomes.end(),
                             [state](const StepOutcome &o) { return o.state == state; });
    };
    Say(stderr, QStringLiteral("probator: %1 of %2 commands passed, %3 failed, %4 not run%5")
                    .arg(count(StepOutcome::State::Passed))
                    .arg(outcomes.size())
                    .arg(count(StepOutcome::State::Failed))
                    .arg(count(StepOutcome::State::NotRun))
                    .arg(record ? QStringLiteral("; record %1").arg(record->Path()) : QString()));
    int status = summary.interrupted ? Interrupted : passed ? AllPassed : OneFailed;
    if (!reportPath.isEmpty()) {
        if (const auto failure = SaveReport(reportPath, options.format, summary, outcomes)) {
            Say(stderr, QStringLiteral("probator: the report %1 was not written: %2")
                            .arg(reportPath, *failure));
            if (status == AllPassed)
                status = OneFailed;
        }
    }
    return status;
}
