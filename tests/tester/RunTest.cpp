// probator --run as a test bench runs it: the program itself, with no display, against
// torvane-unit on a pseudo-terminal, each way a unit can misbehave, Ctrl+C mid-transfer,
// a sequence with mistakes, and the reports read back as CI reads them.
#include "FakeDevice.h"
#include "RunReport.h"
#include "UnitProcess.h"
#include "UnitRecord.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <csignal>

namespace {

struct Finished
{
    int status = -1;
    QString out;
    QString err;
};

class Bench
{
public:
    explicit Bench(const QByteArray &sequence) : m_sequence(m_dir.filePath(QStringLiteral("s.seq")))
    {
        QFile file(m_sequence);
        if (file.open(QIODevice::WriteOnly))
            file.write(sequence);
    }

    QString Path(const QString &name) const { return m_dir.filePath(name); }

    void Start(const QStringList &arguments)
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        // A bench has no display: the run must not ask for one.
        for (const char *name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
            environment.remove(QString::fromLatin1(name));
        m_process.setProcessEnvironment(environment);
        m_process.setWorkingDirectory(m_dir.path());
        m_process.start(QStringLiteral(PROBATOR),
                        QStringList{QStringLiteral("--run"), m_sequence} + arguments);
    }

    bool WaitForOutput(const QString &text)
    {
        return QTest::qWaitFor(
            [this, &text] {
                m_out += QString::fromUtf8(m_process.readAllStandardOutput());
                return m_out.contains(text);
            },
            20000);
    }

    void Interrupt() { ::kill(static_cast<pid_t>(m_process.processId()), SIGINT); }

    Finished Wait()
    {
        const bool ended = m_process.waitForFinished(60000);
        Finished finished;
        finished.out = m_out + QString::fromUtf8(m_process.readAllStandardOutput());
        finished.err = QString::fromUtf8(m_process.readAllStandardError());
        if (ended && m_process.exitStatus() == QProcess::NormalExit)
            finished.status = m_process.exitCode();
        return finished;
    }

    Finished Run(const QStringList &arguments)
    {
        Start(arguments);
        return Wait();
    }

private:
    QTemporaryDir m_dir;
    QString m_sequence;
    QProcess m_process;
    QString m_out;
};

QString ReadAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

QStringList Records(const QString &dir)
{
    QStringList found;
    for (QDirIterator it(dir, QDir::Files, QDirIterator::Subdirectories); it.hasNext();)
        found << QDir(dir).relativeFilePath(it.next());
    return found;
}

// xmllint's verdict on `report` against the common JUnit schema.
bool ValidJUnit(const QString &report, QString &why)
{
    QProcess lint;
    lint.start(QStringLiteral("xmllint"), {QStringLiteral("--noout"), QStringLiteral("--schema"),
                                           QStringLiteral(JUNIT_XSD), report});
    if (!lint.waitForFinished(20000)) {
        why = QStringLiteral("xmllint did not run (scripts/setup.sh installs it)");
        return false;
    }
    why = QString::fromUtf8(lint.readAllStandardError());
    return lint.exitStatus() == QProcess::NormalExit && lint.exitCode() == 0;
}

const QByteArray Checks = "# bench\nRead ESN  expect ESN ~ ^[0-9A-F]{8}$\nRead Boot Version\n";

} // namespace

TEST(Run, SequencesAgainstAUnitOnTheLine)
{
    const auto args = [](const char *text) {
        return QString::fromLatin1(text).split(QLatin1Char(' '), Qt::SkipEmptyParts);
    };
    const struct
    {
        const char *name;
        QStringList unit;
        QByteArray sequence;
        QStringList options;
        int status;
        const char *failed; // the failed case the report names, or nullptr
        const char *says;   // in the log or on standard error
        int notRun;
    } rows[] = {
        // One row a line reads as the table it is.
        // clang-format off
        {"all pass", args("--pace 0"), Checks, {}, 0, nullptr, "[2/2] Read Boot Version: passed", 0},
        {"unmet expectation", args("--pace 0"), "Read ESN expect ESN ~ ^0+$\nDone\n", {}, 1, "line 1: Read ESN",
         "Expectation not met: ESN is \"4A7F19C2\", which does not match ^0+$.", 1},
        {"keep going", args("--pace 0"), "Read ESN expect ESN ~ ^0+$\nDone\n", args("--keep-going"), 1,
         "line 1: Read ESN", "[2/2] Done: passed", 0},
        {"unit reports an error", args("--pace 0 --error-after 2"), Checks, {}, 1, "line 2: Read ESN", "FAILED", 1},
        {"garbled line", args("--pace 0 --garble 2"), Checks, {}, 1, "line 2: Read ESN", "could not be read", 1},
        {"hang-up", args("--pace 0 --hang-up-after 3"), Checks, {}, 1, "line 2: Read ESN", "was lost", 1},
        {"silent unit", args("--pace 0 --silent-after 4"), Checks, {}, 1, "line 2: Read ESN",
         "The unit stopped answering", 1},
        {"stray after answer", args("--pace 0 --stray-after-answer"), Checks, {}, 0, nullptr,
         "while no command ran and was dropped", 0},
        {"slow unit", args("--slow 5"), Checks, {}, 0, nullptr, "passed", 0},
        {"pause before final", args("--pace 0 --pause 300"), Checks, {}, 0, nullptr, "passed", 0},
        {"json report", args("--pace 0 --error-after 2"), Checks, args("--report-format json"), 1, "Read ESN", "FAILED", 1},
        // clang-format on
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.name);
        UnitProcess unit(row.unit);
        ASSERT_FALSE(unit.Path().isEmpty());
        Bench bench(row.sequence);
        const bool json = row.options.contains(QStringLiteral("json"));
        const QString report =
            bench.Path(json ? QStringLiteral("r.json") : QStringLiteral("r.xml"));
        const Finished run = bench.Run(
            QStringList{QStringLiteral("--port"), unit.Path(), QStringLiteral("--report"), report} +
            row.options);
        EXPECT_EQ(run.status, row.status) << run.err.toStdString();
        EXPECT_TRUE(run.out.contains(QString::fromLatin1(row.says)) ||
                    run.err.contains(QString::fromLatin1(row.says)))
            << run.out.toStdString() << run.err.toStdString();
        const QString text = ReadAll(report);
        if (json) {
            const QJsonObject object = QJsonDocument::fromJson(text.toUtf8()).object();
            EXPECT_EQ(object.value(QStringLiteral("failed")).toInt(), 1);
            EXPECT_EQ(object.value(QStringLiteral("notRun")).toInt(), row.notRun);
            const QJsonObject first =
                object.value(QStringLiteral("commands")).toArray().at(0).toObject();
            EXPECT_EQ(first.value(QStringLiteral("name")).toString(),
                      QString::fromLatin1(row.failed));
            EXPECT_EQ(first.value(QStringLiteral("result")).toString(), QStringLiteral("failed"));
            continue;
        }
        QString why;
        EXPECT_TRUE(ValidJUnit(report, why)) << why.toStdString() << text.toStdString();
        EXPECT_TRUE(text.contains(QStringLiteral("skipped=\"%1\"").arg(row.notRun)));
        if (row.failed) {
            const qsizetype at = text.indexOf(
                QStringLiteral("<testcase name=\"%1\"").arg(QString::fromLatin1(row.failed)));
            ASSERT_GE(at, 0) << text.toStdString();
            EXPECT_LT(text.indexOf(QStringLiteral("<failure"), at),
                      text.indexOf(QStringLiteral("</testcase>"), at));
        } else {
            EXPECT_FALSE(text.contains(QStringLiteral("<failure")));
        }
    }
}

TEST(Run, CtrlCAbortsTheTransferAndKeepsThePartialRecord)
{
    for (const bool ignoresAbort : {false, true}) {
        SCOPED_TRACE(ignoresAbort ? "unit ignores the abort" : "unit aborts");
        UnitProcess unit(ignoresAbort ? QStringList{QStringLiteral("--ignore-abort")}
                                      : QStringList{QStringLiteral("--abort-twice")});
        ASSERT_FALSE(unit.Path().isEmpty());
        Bench bench("Read ESN\nDownload System\nDone\n");
        const QString records = bench.Path(QStringLiteral("records"));
        bench.Start({QStringLiteral("--port"), unit.Path(), QStringLiteral("--report"),
                     bench.Path(QStringLiteral("r.xml")), QStringLiteral("--record-dir"), records});
        ASSERT_TRUE(bench.WaitForOutput(QStringLiteral("Sending Command: \"Download System\"")));
        ASSERT_TRUE(QTest::qWaitFor(
            [&unit] { return unit.Output().contains(QStringLiteral("CMD 1")); }, 5000));
        bench.Interrupt();
        const Finished run = bench.Wait();
        EXPECT_EQ(run.status, 130) << run.err.toStdString();
        // The abort went out: the unit confirms it, or the tester says it was not confirmed.
        if (!ignoresAbort) {
            EXPECT_TRUE(QTest::qWaitFor(
                [&unit] { return unit.Output().contains(QStringLiteral("ABORT -> ABORTED")); },
                5000))
                << unit.Output().toStdString();
        }
        const QStringList kept = Records(records);
        ASSERT_EQ(kept.size(), 1) << kept.join(QLatin1Char(' ')).toStdString();
        EXPECT_TRUE(kept.front().startsWith(QStringLiteral("4A7F19C2/")));
        const QString record = ReadAll(records + QLatin1Char('/') + kept.front());
        EXPECT_TRUE(record.contains(QStringLiteral("Sending Command: \"Download System\"")));
        EXPECT_TRUE(record.contains(QStringLiteral("The command was cancelled.")));
        EXPECT_EQ(record.contains(QStringLiteral("The unit did not confirm the abort")),
                  ignoresAbort);
        EXPECT_FALSE(record.contains(QStringLiteral("\"Done\"")));
        const QString report = ReadAll(bench.Path(QStringLiteral("r.xml")));
        EXPECT_TRUE(report.contains(QStringLiteral("\"interrupted\" value=\"true\"")));
        EXPECT_TRUE(report.contains(QStringLiteral("skipped=\"1\"")));
    }
}

TEST(Run, WrongCommandLinesAndSequencesStopBeforeTheUnit)
{
    const struct
    {
        QByteArray sequence;
        QStringList options;
        const char *says;
    } rows[] = {
        {"Read ESN\nRead ESNN\n\n18\n", {}, "s.seq:2: \"Read ESNN\" is no command of the table."},
        {"Read ESN\nRead ESNN\n\n18\n", {}, "s.seq:4: there is no command number 18"},
        {"Read ESN expect ESN ~ ([\n", {}, "s.seq:1: the pattern"},
        {Checks, {QStringLiteral("--report-format"), QStringLiteral("xml")}, "junit or json"},
        {Checks, {QStringLiteral("--bogus")}, "unknown option \"--bogus\" with --run"},
        {Checks,
         {QStringLiteral("--report"), QStringLiteral("/nonexistent/r.xml")},
         "does not exist"},
    };
    for (const auto &row : rows) {
        Bench bench(row.sequence);
        const QString records = bench.Path(QStringLiteral("records"));
        const Finished run = bench.Run(
            QStringList{QStringLiteral("--simulate"), QStringLiteral("--record-dir"), records} +
            row.options);
        EXPECT_EQ(run.status, 2) << row.says;
        EXPECT_TRUE(run.err.contains(QString::fromLatin1(row.says))) << run.err.toStdString();
        EXPECT_TRUE(run.out.isEmpty());
        EXPECT_TRUE(Records(records).isEmpty());
    }
}

TEST(Run, ARecordNeverOverwritesAnOlderOne)
{
    QTemporaryDir dir;
    const QDateTime start(QDate(2026, 3, 4), QTime(5, 6, 7));
    UnitRecord first(dir.path(), start);
    first.Write(QStringLiteral("first"));
    first.BelongsTo(QStringLiteral("4A7F19C2"));
    UnitRecord second(dir.path(), start);
    second.Write(QStringLiteral("second\r\nline"));
    second.BelongsTo(QStringLiteral("4A7F19C2"));
    second.Write(QStringLiteral("after"));
    EXPECT_EQ(first.Path(), dir.filePath(QStringLiteral("4A7F19C2/2026-03-04T050607.log")));
    EXPECT_EQ(second.Path(), dir.filePath(QStringLiteral("4A7F19C2/2026-03-04T050607-2.log")));
    EXPECT_EQ(ReadAll(first.Path()), QStringLiteral("first\n"));
    EXPECT_EQ(ReadAll(second.Path()), QStringLiteral("second\nline\nafter\n"));
    EXPECT_FALSE(QDir(dir.filePath(QStringLiteral("unknown"))).exists());
}

TEST(Run, AUnitsControlCharactersNeverBreakTheReport)
{
    FakeDevice unit;
    unit.onExecute = [&unit](qint32 number) {
        emit unit.MessageReceived(QStringLiteral("m\x01\x1b[2J"));
        if (number == 1)
            return CommandResult{true, {}, {1, QStringLiteral("ESN: \x01\x7f")}};
        return CommandResult{false, QStringLiteral("bad\x02\x7f\u0085 text"), {}};
    };
    SequenceRun run(unit, tester::ReadSequence("s.seq", "Read ESN expect ESN ~ ^[0-9]+$\nDone\n"),
                    true);
    EXPECT_FALSE(run.Run());
    EXPECT_EQ(run.Outcomes()[0].failure,
              QStringLiteral("Expectation not met: ESN is \"<0x01><0x7F>\", which does not "
                             "match ^[0-9]+$."));
    EXPECT_EQ(run.Outcomes()[1].failure, QStringLiteral("bad<0x02><0x7F><0x85> text"));
    QTemporaryDir dir;
    const QString report = dir.filePath(QStringLiteral("r.xml"));
    RunSummary summary;
    summary.started = run.Started();
    ASSERT_FALSE(SaveReport(report, tester::ReportFormat::JUnit, summary, run.Outcomes()));
    QString why;
    EXPECT_TRUE(ValidJUnit(report, why)) << why.toStdString();
}
