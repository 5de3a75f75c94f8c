// The control against torvane-unit on a pseudo-terminal: the real serial line code,
// every command of the table, Cancel, each way the unit can misbehave, and the port
// errors a person meets. Then against a unit scripted by the test on a pseudo-terminal:
// the faults a firmware author may commit, and random answers that check the one rule a
// tester must keep, that a command shows only what the unit sent for it.
#include "Limits.h"
#include "ScriptedUnit.h"
#include "SerialLine.h"
#include "Torvane.h"
#include "UnitProcess.h"

#include <QFile>
#include <QProcess>
#include <QSerialPort>
#include <QSignalSpy>
#include <QTimer>

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <optional>
#include <random>
#include <string>

#include <cstdio>

#include <grp.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

const std::vector<qint32> TableNumbers{1,  2,  3,  4,  5,  6,  7,  8,  9,  10, 11,
                                       12, 13, 14, 15, 16, 17, 19, 20, 21, 22};

// Everything a control reports, one text an event, in order.
class Recorder
{
public:
    explicit Recorder(DeviceControl &device)
    {
        QObject::connect(&device, &DeviceControl::StatusChanged, &m_context,
                         [this](qint32, const QString &text) { events << "S " + text; });
        QObject::connect(&device, &DeviceControl::MessageReceived, &m_context,
                         [this](const QString &text) { events << "M " + text; });
        QObject::connect(&device, &DeviceControl::ResponseReceived, &m_context,
                         [this](const QString &text) { events << "R " + text; });
        QObject::connect(&device, &DeviceControl::ErrorOccurred, &m_context,
                         [this](const QString &text, const QString &where) {
                             events << "E " + text + " @ " + where;
                         });
        QObject::connect(&device, &DeviceControl::ProgressChanged, &m_context,
                         [this](const QString &text, qint32, qint32 current, qint32 total) {
                             events
                                 << QStringLiteral("P %1 %2/%3").arg(text).arg(current).arg(total);
                         });
    }

    QStringList Errors() const { return events.filter(QRegularExpression(QStringLiteral("^E "))); }

    QStringList events;

private:
    QObject m_context;
};

template <typename Unit>
std::unique_ptr<Torvane> LineTo(const Unit &unit, int silenceMs = 5000, int abortWaitMs = 1000)
{
    auto device = std::make_unique<Torvane>();
    device->SetPort(unit.Path());
    device->SetTimeLimits(silenceMs, abortWaitMs);
    return device;
}

// Runs `check` as the ordinary user nobody, in a child switched to it (this process is
// root), reporting back through its exit status. Nothing when that cannot be had.
std::optional<int> AsNobody(const std::function<int()> &check)
{
    if (::geteuid() != 0)
        return check();
    const pid_t child = ::fork();
    if (child < 0)
        return std::nullopt;
    if (child == 0) {
        if (::setgroups(0, nullptr) != 0 || ::setgid(65534) != 0 || ::setuid(65534) != 0)
            ::_exit(200);
        ::_exit(check());
    }
    int status = 0;
    if (::waitpid(child, &status, 0) != child || !WIFEXITED(status) || WEXITSTATUS(status) == 200)
        return std::nullopt;
    return WEXITSTATUS(status);
}

} // namespace

TEST(UnitLine, EveryCommandAnswersOnTheLineAsInSimulation)
{
    UnitProcess unit({QStringLiteral("--pace"), QStringLiteral("0")});
    ASSERT_FALSE(unit.Path().isEmpty()) << unit.Output().toStdString();
    const std::unique_ptr<Torvane> wired = LineTo(unit);
    Torvane simulated;
    simulated.SetSimulate(true);
    simulated.SetPace(0);

    for (const qint32 number : TableNumbers) {
        Recorder onLine(*wired);
        Recorder inProcess(simulated);
        const CommandResult lineResult = wired->ExecuteCommand(number);
        const CommandResult simulatedResult = simulated.ExecuteCommand(number);
        ASSERT_TRUE(lineResult.Success) << number << lineResult.ErrorText.toStdString();
        EXPECT_EQ(lineResult.Details.FieldCount, simulatedResult.Details.FieldCount) << number;
        EXPECT_EQ(lineResult.Details.FieldText, simulatedResult.Details.FieldText) << number;
        // The same reports, but for where each unit says it is and the line's opening.
        const auto comparable = [](QStringList events, const QString &line) {
            events.removeIf(
                [](const QString &e) { return e.startsWith(QStringLiteral("M Line open to ")); });
            return events.replaceInStrings(line, QStringLiteral("LINE"));
        };
        EXPECT_EQ(comparable(onLine.events, unit.Path()),
                  comparable(inProcess.events, QStringLiteral("an in-process line")))
            << number;
        if (number == 1) {
            ASSERT_FALSE(onLine.events.isEmpty());
            EXPECT_TRUE(onLine.events.front().startsWith(
                QStringLiteral("M Line open to %1 at 115200,8,N,1: Torvane TV-200")
                    .arg(unit.Path())))
                << onLine.events.front().toStdString();
        }
    }
    EXPECT_TRUE(wired->IsLineOpen());
}

TEST(UnitLine, CancelMidTransferEndsCancelledAndTheLineServesOn)
{
    UnitProcess unit({QStringLiteral("--pace"), QStringLiteral("2")});
    ASSERT_FALSE(unit.Path().isEmpty());
    const std::unique_ptr<Torvane> device = LineTo(unit);
    Recorder recorder(*device);
    int progress = 0;
    int afterCancel = 0;
    QObject probe;
    QObject::connect(device.get(), &DeviceControl::ProgressChanged, &probe,
                     [&device, &progress, &afterCancel] {
                         if (++progress == 10)
                             device->CancelCommand();
                         else if (progress > 10)
                             ++afterCancel;
                     });
    const CommandResult result = device->ExecuteCommand(2);
    EXPECT_FALSE(result.Success);
    EXPECT_EQ(result.ErrorText, QStringLiteral("The command was cancelled."));
    EXPECT_EQ(afterCancel, 0);
    EXPECT_EQ(recorder.Errors(),
              QStringList{QStringLiteral("E Command cancelled @ Download System")});
    EXPECT_TRUE(device->IsLineOpen());
    EXPECT_TRUE(device->ExecuteCommand(1).Success);
}

TEST(UnitLine, EachMisbehaviourEndsInAClearError)
{
    struct Case
    {
        QStringList switches;
        qint32 command;
        int silenceMs;
        int abortWaitMs;
        int cancelAtProgress; // 0: no cancel
        QString says;         // the start of the error text; empty for success; %1 the path
        bool lineOpenAfter;
        int errors;           // ErrorOccurred reports
        QString thenSays;     // what a following Read ESN says, as `says`
        bool strays = false;  // lines came while no command ran, and the log says so
        QString waitFor = {}; // what the unit prints before the following Read ESN is sent
        bool aborted = false; // the host gave up on the running command and told the unit
    };
    // Whether the hung-up pseudo-terminal's node is gone yet when the host looks is a race
    // on a loaded machine: "the device went away (...)" or "the unit hung up." are both right.
    const QString lost = QStringLiteral("The serial line %1 at 115200,8,N,1 was lost: the ");
    const QString cancelled = QStringLiteral("The command was cancelled.");
    const auto args = [](const char *line) { return QString::fromLatin1(line).split(u' '); };
    const std::vector<Case> cases{
        {{QStringLiteral("--slow"), QStringLiteral("2")}, 9, 5000, 1000, 0, {}, true, 0, {}},
        {args("--stray-after-answer --pace 0"), 9, 5000, 1000, 0, {}, true, 0, {}, true},
        {args("--idle-line 0 --pace 0"), 9, 5000, 1000, 0, {}, true, 0, {}, true, "(idle) -> FAIL"},
        {args("--abort-twice --pace 5"), 2, 5000, 1000, 3, cancelled, true, 1, {}, true},
        {{QStringLiteral("--slow"), QStringLiteral("400")},
         9,
         150,
         1000,
         0,
         QStringLiteral(
             "The unit stopped answering: nothing came on %1 at 115200,8,N,1 for 150 ms."),
         false,
         1,
         QStringLiteral("The unit stopped answering"),
         false,
         {},
         true},
        {{QStringLiteral("--silent-after"), QStringLiteral("6")},
         2,
         300,
         1000,
         0,
         QStringLiteral(
             "The unit stopped answering: nothing came on %1 at 115200,8,N,1 for 300 ms."),
         false,
         1,
         QStringLiteral("No Torvane unit answered on %1 at 115200,8,N,1: nothing came for 300 ms "
                        "after the handshake.")},
        {{QStringLiteral("--garble"), QStringLiteral("3")},
         1,
         5000,
         1000,
         0,
         QStringLiteral("The unit sent a line that could not be read (a byte outside printable "
                        "ASCII): \"\\x"),
         false,
         1,
         QStringLiteral("The unit sent a line that could not be read"),
         false,
         {},
         true},
        {{QStringLiteral("--error-after"), QStringLiteral("3")},
         1,
         5000,
         1000,
         0,
         QStringLiteral("Flash checksum mismatch at 0x01F400"),
         true,
         1,
         QStringLiteral("Flash checksum mismatch at 0x01F400")},
        {{QStringLiteral("--hang-up-after"), QStringLiteral("8"), QStringLiteral("--pace"),
          QStringLiteral("2")},
         2,
         5000,
         1000,
         0,
         lost,
         false,
         1,
         QStringLiteral("The serial port %1 does not exist.")},
        {{QStringLiteral("--ignore-abort"), QStringLiteral("--pace"), QStringLiteral("5")},
         2,
         5000,
         200,
         3,
         QStringLiteral("The command was cancelled."),
         false,
         2,
         {}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.switches.join(QLatin1Char(' ')).toStdString());
        UnitProcess unit(c.switches);
        ASSERT_FALSE(unit.Path().isEmpty());
        const std::unique_ptr<Torvane> device = LineTo(unit, c.silenceMs, c.abortWaitMs);
        Recorder recorder(*device);
        QObject probe;
        int progress = 0;
        QObject::connect(device.get(), &DeviceControl::ProgressChanged, &probe,
                         [&device, &progress, &c] {
                             if (++progress == c.cancelAtProgress)
                                 device->CancelCommand();
                         });
        const CommandResult result = device->ExecuteCommand(c.command);
        const QString says =
            c.says.contains(QStringLiteral("%1")) ? c.says.arg(unit.Path()) : c.says;
        EXPECT_EQ(result.Success, says.isEmpty());
        EXPECT_TRUE(result.ErrorText.startsWith(says)) << result.ErrorText.toStdString();
        EXPECT_EQ(device->IsLineOpen(), c.lineOpenAfter);
        EXPECT_EQ(recorder.Errors().size(), c.errors)
            << recorder.Errors().join(QLatin1Char('\n')).toStdString();
        if (!says.isEmpty() && c.cancelAtProgress == 0) {
            EXPECT_EQ(recorder.Errors().last(),
                      QStringLiteral("E ") + result.ErrorText + QStringLiteral(" @ ") +
                          QString::fromLatin1(c.command == 1   ? "Read ESN"
                                              : c.command == 2 ? "Download System"
                                                               : "Read Boot Version"));
        }

        // The abort reaches the unit before the line closes; a stray is on its way first.
        const QString waitFor = c.aborted ? QStringLiteral("ABORT -> ABORTED") : c.waitFor;
        if (!waitFor.isEmpty()) {
            EXPECT_TRUE(QTest::qWaitFor([&unit, &waitFor] {
                return unit.Output().contains(waitFor);
            })) << unit.Output().toStdString();
        }
        recorder.events.clear();
        const CommandResult then = device->ExecuteCommand(1);
        const QString thenSays =
            c.thenSays.contains(QStringLiteral("%1")) ? c.thenSays.arg(unit.Path()) : c.thenSays;
        EXPECT_EQ(then.Success, thenSays.isEmpty()) << then.ErrorText.toStdString();
        EXPECT_TRUE(then.ErrorText.startsWith(thenSays)) << then.ErrorText.toStdString();
        // What the unit sent for Read ESN, and nothing left over from before it.
        if (then.Success) {
            EXPECT_EQ(then.Details.FieldText, QStringLiteral("ESN: 4A7F19C2"));
        }
        const QStringList notices = recorder.events.filter(QStringLiteral("while no command ran"));
        EXPECT_EQ(notices.size(), c.strays ? 1 : 0) << recorder.events.join('\n').toStdString();
        if (c.strays) {
            // Named by the first line dropped, and the line opened afresh.
            const QString first = c.command == 2        ? QStringLiteral("\"ABORTED\"")
                                  : c.waitFor.isEmpty() ? QStringLiteral("\"OK\"")
                                                        : QStringLiteral("\"FAIL Unasked");
            EXPECT_TRUE(notices.value(0).startsWith(QStringLiteral("M ")) &&
                        notices.value(0).contains(first))
                << notices.value(0).toStdString();
            EXPECT_EQ(recorder.events.filter(QStringLiteral("M Line open to ")).size(), 1);
        }
    }
}

TEST(UnitLine, AFinalLineJustInsideTheSilenceLimitNeverTimesOut)
{
    // A timer that may fire 5 % early would give up on some of these runs; the 80 ms left
    // over is for a loaded machine's scheduling of the unit.
    UnitProcess unit({QStringLiteral("--pause"), QStringLiteral("1920"), QStringLiteral("--pace"),
                      QStringLiteral("0")});
    ASSERT_FALSE(unit.Path().isEmpty());
    const std::unique_ptr<Torvane> device = LineTo(unit, 2000);
    for (int run = 0; run < 4; ++run) {
        const CommandResult result = device->ExecuteCommand(9);
        EXPECT_TRUE(result.Success) << run << ": " << result.ErrorText.toStdString();
    }
}

TEST(UnitLine, TheUnitServesOnUntilCtrlCAndThenStopsCleanly)
{
    UnitProcess unit({QStringLiteral("--pace"), QStringLiteral("0")});
    ASSERT_FALSE(unit.Path().isEmpty());
    {
        const std::unique_ptr<Torvane> first = LineTo(unit);
        EXPECT_TRUE(first->ExecuteCommand(22).Success);
    }
    // A second tester after the first has gone, on the same unit.
    const std::unique_ptr<Torvane> second = LineTo(unit);
    EXPECT_TRUE(second->ExecuteCommand(9).Success);
    EXPECT_EQ(unit.Interrupt(), 0);
    const QString output = unit.Output();
    EXPECT_TRUE(output.contains(QStringLiteral("CMD 22 -> OK"))) << output.toStdString();
    EXPECT_TRUE(output.contains(QStringLiteral("CMD 9 -> OK")));
    EXPECT_TRUE(output.endsWith(QStringLiteral("Stopped.\n")));
}

TEST(UnitLine, PortErrorsSayWhatIsWrongAndWhatToDo)
{
    UnitProcess unit({QStringLiteral("--pace"), QStringLiteral("0")});
    ASSERT_FALSE(unit.Path().isEmpty());

    // A port held by another tester.
    const std::unique_ptr<Torvane> holder = LineTo(unit);
    ASSERT_TRUE(holder->ExecuteCommand(9).Success);
    const std::unique_ptr<Torvane> second = LineTo(unit);
    const CommandResult busy = second->ExecuteCommand(9);
    EXPECT_FALSE(busy.Success);
    EXPECT_TRUE(busy.ErrorText.startsWith(
        QStringLiteral("The serial port %1 is busy: another program has it open").arg(unit.Path())))
        << busy.ErrorText.toStdString();
    holder->SetSimulate(true); // lets the port go at the next command
    ASSERT_TRUE(holder->ExecuteCommand(22).Success);

    // Settings the line cannot take.
    Torvane oddStops(QStringLiteral("115200,8,N,1.5"));
    oddStops.SetPort(unit.Path());
    const CommandResult stops = oddStops.ExecuteCommand(9);
    EXPECT_FALSE(stops.Success);
    EXPECT_TRUE(stops.ErrorText.startsWith(
        QStringLiteral("The serial port %1 does not take 1.5 stop bits").arg(unit.Path())))
        << stops.ErrorText.toStdString();

    // An ordinary user outside the group that owns the terminal.
    const std::string path = unit.Path().toStdString();
    struct stat owner
    {
    };
    ASSERT_EQ(::stat(path.c_str(), &owner), 0);
    const struct group *group = ::getgrgid(owner.st_gid);
    ASSERT_NE(group, nullptr);
    const QString fix =
        QStringLiteral("usermod -aG %1 ").arg(QString::fromLocal8Bit(group->gr_name));
    const std::optional<int> denied = AsNobody([&path, &fix] {
        QSerialPort port;
        const QString text =
            serialline::Open(port, QString::fromStdString(path), protocol::CommSettings{});
        const bool named =
            text.startsWith(QStringLiteral("Permission denied opening the serial port ")) &&
            text.contains(fix);
        if (!named)
            std::fprintf(stderr, "as nobody: %s\n", qPrintable(text));
        return named && !port.isOpen() ? 0 : 1;
    });
    if (!denied)
        GTEST_SKIP() << "no ordinary user to try the port as";
    EXPECT_EQ(*denied, 0);
}

TEST(UnitLine, EverySwitchIsListedInItsHelpAndTheReadme)
{
    QProcess help;
    help.start(QStringLiteral(TORVANE_UNIT), {QStringLiteral("--help")});
    ASSERT_TRUE(help.waitForFinished(10000));
    const QString helpText = QString::fromLocal8Bit(help.readAllStandardOutput());
    QFile readme(QStringLiteral(README_PATH));
    ASSERT_TRUE(readme.open(QIODevice::ReadOnly));
    const QString readmeText = QString::fromUtf8(readme.readAll());
    for (const char *name : {"--slow", "--silent-after", "--garble", "--error-after",
                             "--hang-up-after", "--ignore-abort", "--pace", "--pause",
                             "--stray-after-answer", "--idle-line", "--abort-twice"}) {
        EXPECT_TRUE(helpText.contains(QString::fromLatin1(name))) << name;
        EXPECT_TRUE(readmeText.contains(QStringLiteral("| `%1").arg(QString::fromLatin1(name))))
            << name;
    }
}

TEST(UnitLine, ASwitchWithoutAFitValueIsRefused)
{
    QProcess unit;
    unit.start(QStringLiteral(TORVANE_UNIT), {QStringLiteral("--garble"), QStringLiteral("x")});
    ASSERT_TRUE(unit.waitForFinished(10000));
    EXPECT_EQ(unit.exitCode(), 2);
    EXPECT_TRUE(unit.readAllStandardOutput().isEmpty());
    EXPECT_TRUE(QString::fromLocal8Bit(unit.readAllStandardError())
                    .startsWith(QStringLiteral("torvane-unit: --garble takes a whole number of 0 "
                                               "or more")));
}

TEST(UnitLine, FaultsOfAUnitEndTheCommandAndTheNextStartsClean)
{
    struct Case
    {
        const char *hello;      // the answer to HELLO
        std::string command;    // the answer to the first CMD
        QString says;           // the start of the first command's error; empty for success
        bool reopened;          // the second command shook hands again
        std::string later = {}; // the rest of that answer, in a write of its own a moment on
    };
    const char *hello = "HELLO 1 Scripted unit\r\n";
    const std::string longest = "MSG " + std::string(protocol::MaxLine - 4, 'x');
    const std::vector<Case> cases{
        {hello, "ABORTED\r\n", QStringLiteral("The unit sent a line out of place: \"ABORTED\""),
         true},
        {hello, "HELLO 1 again\r\n",
         QStringLiteral("The unit sent a line out of place: \"HELLO 1 again\""), true},
        {hello, "OK extra\r\n",
         QStringLiteral("The unit sent a line that could not be read (more arguments than "
                        "allowed in an OK line): \"OK extra\""),
         true},
        {"FAIL\r\n", "", QStringLiteral("The unit refused the handshake without saying why."),
         true},
        {"HELLO 1 Scripted unit\r\nOK\r\n", "",
         QStringLiteral("The unit sent a line out of place: \"OK\""), true},
        {hello, "STATUS busy\r\n", QStringLiteral("The unit stopped answering"), true},
        {hello, "OK\r\nMSG late\r\n", {}, true},
        {hello, "OK\r\n", {}, false},
        {hello, "PROG -2147483648 -2147483648\r\nOK\r\n", {}, false},
        {hello, "PROG -2147483649 1\r\n",
         QStringLiteral("The unit sent a line that could not be read (missing or unreadable "
                        "counts in a PROG line): \"PROG -2147483649 1\""),
         true},
        // The longest line, and one byte more, with the CR and the LF in separate writes.
        {hello, longest + "\r", {}, false, "\nOK\r\n"},
        {hello, longest + "x\r",
         QStringLiteral("The unit sent a line that could not be read (a line longer than 1024 "
                        "bytes): \"MSG xxx"),
         true, "\nOK\r\n"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(std::string(c.hello) + " / " + c.command.substr(0, 40));
        ScriptedUnit unit;
        ASSERT_FALSE(unit.Path().isEmpty());
        bool first = true;
        bool laterSent = false;
        unit.answer = [&c, &first, &unit, &laterSent](const std::string &request) {
            if (request == "HELLO 1")
                return QByteArray(first ? c.hello : "HELLO 1 Scripted unit\r\n");
            if (request.rfind("CMD ", 0) != 0)
                return QByteArray();
            if (!std::exchange(first, false))
                return QByteArray("FIELD mine\r\nOK\r\n");
            if (!c.later.empty()) {
                QTimer::singleShot(50, &unit, [&c, &unit, &laterSent] {
                    unit.Send(QByteArray::fromStdString(c.later));
                    laterSent = true;
                });
            }
            return QByteArray::fromStdString(c.command);
        };
        const std::unique_ptr<Torvane> device = LineTo(unit, 300, 200);
        const CommandResult result = device->ExecuteCommand(1);
        EXPECT_EQ(result.Success, c.says.isEmpty()) << result.ErrorText.toStdString();
        EXPECT_TRUE(result.ErrorText.startsWith(c.says)) << result.ErrorText.toStdString();
        // A command that ran and broke the protocol is aborted before the line closes.
        const bool abort = !c.command.empty() && !c.says.isEmpty();
        EXPECT_EQ(
            QTest::qWaitFor(
                [&unit] { return std::count(unit.requests.begin(), unit.requests.end(), "ABORT"); },
                abort ? 5000 : 50),
            abort);
        // The rest of the answer is on the line before the next command opens it afresh.
        if (!c.later.empty()) {
            EXPECT_TRUE(QTest::qWaitFor([&laterSent] { return laterSent; }));
        }
        first = false;
        unit.requests.clear();
        const CommandResult next = device->ExecuteCommand(9);
        EXPECT_TRUE(next.Success) << next.ErrorText.toStdString();
        EXPECT_EQ(next.Details.FieldText, QStringLiteral("mine"));
        EXPECT_EQ(!unit.requests.empty() && unit.requests.front() == "HELLO 1", c.reopened);
    }
}

TEST(UnitLine, CancelDuringTheHandshakeClosesTheLineAndSendsNothingMore)
{
    ScriptedUnit unit; // never answers
    ASSERT_FALSE(unit.Path().isEmpty());
    unit.answer = [](const std::string &) { return QByteArray(); };
    const std::unique_ptr<Torvane> device = LineTo(unit);
    QTimer::singleShot(50, device.get(), [&device] { device->CancelCommand(); });
    const CommandResult result = device->ExecuteCommand(1);
    EXPECT_EQ(result.ErrorText, QStringLiteral("The command was cancelled."));
    EXPECT_FALSE(device->IsLineOpen());
    EXPECT_FALSE(QTest::qWaitFor([&unit] { return unit.requests.size() > 1; }, 100));
    EXPECT_EQ(unit.requests, std::vector<std::string>{"HELLO 1"});
}

TEST(UnitLine, ARandomUnitNeverHasItsAnswersShownForAnotherCommand)
{
    const unsigned seed = std::random_device{}();
    SCOPED_TRACE(seed);
    std::mt19937 random(seed);
    const auto roll = [&random](int below) {
        return std::uniform_int_distribution<int>(0, below - 1)(random);
    };

    // What the unit sent for each command, every text of it marked with the command's tag.
    struct Sent
    {
        qint32 number = 0;
        QString tag;
        QStringList fields;
        QString final; // "OK", the FAIL text, or empty for none
    };
    std::vector<Sent> sent;
    const QByteArray strays[] = {"OK\r\n",          "FAIL u:stray\r\n",  "MSG u:stray\r\n",
                                 "ABORTED\r\n",     "FIELD u:stray\r\n", "\x01junk\r\n",
                                 "MSG u:unfinished"};
    ScriptedUnit unit;
    ASSERT_FALSE(unit.Path().isEmpty());
    unit.answer = [&](const std::string &request) {
        QByteArray out;
        if (request == "HELLO 1") {
            if (roll(10) == 0)
                out += "MSG u:leftover\r\nFIELD u:leftover\r\n";
            return out + (roll(30) == 0 ? "FAIL\r\n" : "HELLO 1 Random unit\r\n");
        }
        if (request.rfind("SET ", 0) == 0)
            return QByteArray("OK\r\n");
        if (request.rfind("CMD ", 0) != 0)
            return out; // ABORT: nothing runs by now
        Sent command{
            std::stoi(request.substr(4)), QStringLiteral("u:c%1:").arg(sent.size()), {}, {}};
        const QByteArray tag = command.tag.toLatin1();
        static constexpr const char *Reports[] = {"MSG ",       "RESP \\r",   "STATUS ",
                                                  "ERR place ", "PROG 1 8 #", "FIELD "};
        for (int i = roll(8); i > 0; --i) {
            const QByteArray report = Reports[roll(std::size(Reports))];
            const QByteArray text = tag + QByteArray::number(i);
            out += (report.endsWith('#') ? report.chopped(2) : report + text) + "\r\n";
            if (report == "FIELD ")
                command.fields << QString::fromLatin1(text);
        }
        const int ending = roll(20);
        if (ending < 12) {
            out += "OK\r\n";
            command.final = QStringLiteral("OK");
        } else if (ending < 16) {
            command.final = command.tag + QStringLiteral("failed");
            out += "FAIL " + command.final.toLatin1() + "\r\n";
        } else if (ending == 16) {
            out += "ABORTED\r\n";
        } else if (ending == 17) {
            out += "MSG " + tag + "\x02\r\n";
        } else if (ending == 18) {
            out += QByteArray(1100, 'M') + "\r\n";
        } else {
            // Silence: whatever came next would answer this request, stray or not.
            sent.push_back(command);
            return out;
        }
        // After its final line, lines the unit sends on its own.
        for (int i = roll(4) == 0 ? roll(3) + 1 : 0; i > 0; --i)
            out += strays[roll(std::size(strays))];
        sent.push_back(command);
        return out;
    };

    const std::unique_ptr<Torvane> device = LineTo(unit, 100, 200);
    Recorder recorder(*device);
    int successes = 0;
    for (int run = 0; run < 150; ++run) {
        SCOPED_TRACE(run);
        const qint32 number = roll(2) == 0 ? 1 : 20;
        const std::size_t before = sent.size();
        recorder.events.clear();
        // The person's pause before the next click. Without one, a stray written with the
        // last answer may still be on its way through the terminal when the next request
        // goes out, and then nothing can tell it from that request's answer.
        QTest::qWait(5);
        const CommandResult result = device->ExecuteCommand(number);
        const bool commandSent = sent.size() == before + 1;
        ASSERT_LE(sent.size(), before + 1);
        const QString tag = commandSent ? sent.back().tag : QStringLiteral("(none)");
        for (const QString &event : recorder.events) {
            const QString text = event.mid(2);
            EXPECT_TRUE(!text.startsWith(QStringLiteral("u:")) || text.startsWith(tag))
                << text.toStdString() << " shown for " << tag.toStdString();
        }
        if (!commandSent) {
            EXPECT_FALSE(result.Success);
            continue;
        }
        EXPECT_EQ(sent.back().number, number);
        if (result.Success) {
            ++successes;
            EXPECT_EQ(sent.back().final, QStringLiteral("OK"));
            EXPECT_EQ(result.Details.FieldCount, sent.back().fields.size());
            EXPECT_EQ(result.Details.FieldText, sent.back().fields.join(QStringLiteral("\r\n")));
        } else if (result.ErrorText.startsWith(QStringLiteral("u:"))) {
            EXPECT_EQ(result.ErrorText, sent.back().final);
        }
    }
    EXPECT_GT(successes, 20);
}
