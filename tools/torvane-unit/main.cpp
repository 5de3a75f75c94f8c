// torvane-unit: the simulated Torvane unit on a pseudo-terminal, for trying the tester
// without hardware and for the end-to-end tests. Its switches make it misbehave on
// purpose, one way each.

#include "PseudoTerminal.h"
#include "TorvaneVersion.h"
#include "UnitEngine.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QSocketNotifier>

#include <csignal>
#include <cstdio>
#include <vector>

#include <fcntl.h>
#include <unistd.h>

namespace {

int g_stopPipe[2] = {-1, -1};

void OnStopSignal(int)
{
    const char byte = 0;
    [[maybe_unused]] const ssize_t ignored = ::write(g_stopPipe[1], &byte, 1);
}

void Say(const QString &text)
{
    std::fputs(qPrintable(text + QLatin1Char('\n')), stdout);
    std::fflush(stdout);
}

struct Switch
{
    const char *name;
    const char *valueName;
    const char *help;
};

constexpr Switch Switches[] = {
    {"slow", "ms", "Answer slowly: one line at a time, <ms> milliseconds apart."},
    {"silent-after", "n", "Go silent after sending <n> lines in all (the tester times out)."},
    {"garble", "n", "Send line <n> of every command's answer garbled (top bits flipped)."},
    {"error-after", "n",
     "Report an error: end every command with FAIL after <n> lines of its answer."},
    {"hang-up-after", "n",
     "Hang up mid-transfer: close the line and stop after <n> lines of a command's answer."},
    {"pause", "ms",
     "Pause exactly <ms> milliseconds before the final line of each command's answer."},
    {"idle-line", "ms",
     "Send an unasked FAIL line <ms> milliseconds after each command's answer, while idle."},
    {"pace", "ms", "Milliseconds between two portions of an answer (default 30)."},
};

struct Flag
{
    const char *name;
    const char *help;
};

constexpr Flag Flags[] = {
    {"ignore-abort", "Go on with a command after the tester's ABORT."},
    {"stray-after-answer", "Send a stray OK line after each command's final line."},
    {"abort-twice", "Answer the tester's ABORT with ABORTED twice."},
};

constexpr const char *Program = "torvane-unit";

// A wrong command line, the way command-line tools say it: on standard error, under the
// program's name, with the way to the help.
int UsageError(const QString &what)
{
    std::fprintf(stderr, "%s: %s\nTry '%s --help' for more information.\n", Program,
                 qPrintable(what), Program);
    return 2;
}

// A whole number of at least 0 from a switch, or nothing when it is not one.
bool Count(const QCommandLineParser &parser, const char *name, int &into)
{
    if (!parser.isSet(QString::fromLatin1(name)))
        return true;
    bool ok = false;
    into = parser.value(QString::fromLatin1(name)).toInt(&ok);
    if (ok && into >= 0)
        return true;
    UsageError(QStringLiteral("--%1 takes a whole number of 0 or more, not \"%2\".")
                   .arg(QString::fromLatin1(name), parser.value(QString::fromLatin1(name))));
    return false;
}

} // namespace

int main(int argc, char **argv)
{
    // The usage line names the program as Qt is told it was started: by its short name,
    // not by the path it was found at.
    char name[] = "torvane-unit";
    std::vector<char *> arguments(argv, argv + argc);
    arguments.front() = name;
    QCoreApplication app(argc, arguments.data());
    QCoreApplication::setApplicationName(QString::fromLatin1(Program));
    QCoreApplication::setApplicationVersion(QString::fromLatin1(TorvaneVersion));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Runs a simulated Torvane unit on a pseudo-terminal and prints the path a tester "
        "opens as its serial port (probator --port PATH). It serves any number of "
        "commands until Ctrl+C. The switches make it misbehave on purpose."));
    const QCommandLineOption help = parser.addHelpOption();
    const QCommandLineOption version = parser.addVersionOption();
    for (const Switch &entry : Switches)
        parser.addOption({QString::fromLatin1(entry.name), QString::fromLatin1(entry.help),
                          QString::fromLatin1(entry.valueName)});
    for (const Flag &entry : Flags)
        parser.addOption({QString::fromLatin1(entry.name), QString::fromLatin1(entry.help)});
    // Parsed rather than processed: Qt's own handling puts its errors without the way to
    // the help and ends with status 1, where command-line tools use 2.
    if (!parser.parse(QCoreApplication::arguments()))
        return UsageError(parser.errorText());
    // The unit takes switches only; a stray word is most likely a mistyped switch.
    if (!parser.positionalArguments().isEmpty())
        return UsageError(QStringLiteral("unexpected argument \"%1\".")
                              .arg(parser.positionalArguments().front()));
    if (parser.isSet(help)) {
        std::fputs(qPrintable(parser.helpText()), stdout);
        return 0;
    }
    if (parser.isSet(version)) {
        std::printf("%s %s\n", Program, TorvaneVersion);
        return 0;
    }

    UnitMisbehaviour misbehaviour;
    int pace = 30;
    misbehaviour.ignoreAbort = parser.isSet(QStringLiteral("ignore-abort"));
    misbehaviour.strayAfterAnswer = parser.isSet(QStringLiteral("stray-after-answer"));
    misbehaviour.abortTwice = parser.isSet(QStringLiteral("abort-twice"));
    if (!Count(parser, "slow", misbehaviour.slowMs) ||
        !Count(parser, "silent-after", misbehaviour.silentAfter) ||
        !Count(parser, "garble", misbehaviour.garbleLine) ||
        !Count(parser, "error-after", misbehaviour.errorAfter) ||
        !Count(parser, "hang-up-after", misbehaviour.hangUpAfter) ||
        !Count(parser, "pause", misbehaviour.pauseMs) ||
        !Count(parser, "idle-line", misbehaviour.idleLineAfter) || !Count(parser, "pace", pace))
        return 2;

    PseudoTerminal terminal;
    if (terminal.Path().isEmpty()) {
        std::fprintf(stderr, "%s: %s\n", Program, qPrintable(terminal.ErrorText()));
        return 1;
    }
    UnitEngine unit(terminal.Path(), misbehaviour);
    unit.SetPace(pace);
    QObject::connect(&terminal, &PseudoTerminal::Received, &unit, &UnitEngine::Receive);
    QObject::connect(&unit, &UnitEngine::Transmit, &terminal, &PseudoTerminal::Write);
    QObject::connect(&unit, &UnitEngine::Served, &unit,
                     [](const QString &request, const QString &outcome) {
                         Say(QStringLiteral("%1 -> %2").arg(request, outcome));
                     });
    QObject::connect(&unit, &UnitEngine::HungUp, &app, [&terminal] {
        terminal.HangUp();
        Say(QStringLiteral("Hung up, as --hang-up-after asked."));
        QCoreApplication::quit();
    });

    // Ctrl+C and kill reach the event loop through a pipe, so the unit stops between
    // two lines and closes its terminal on the way out.
    if (::pipe2(g_stopPipe, O_CLOEXEC) != 0)
        return 1;
    QSocketNotifier stopper(g_stopPipe[0], QSocketNotifier::Read);
    QObject::connect(&stopper, &QSocketNotifier::activated, &app, [] {
        Say(QStringLiteral("Stopped."));
        QCoreApplication::quit();
    });
    std::signal(SIGINT, OnStopSignal);
    std::signal(SIGTERM, OnStopSignal);

    Say(QStringLiteral("Torvane unit on %1").arg(terminal.Path()));
    Say(QStringLiteral("Try: probator --port %1   (stop this unit with Ctrl+C)")
            .arg(terminal.Path()));
    return QCoreApplication::exec();
}
