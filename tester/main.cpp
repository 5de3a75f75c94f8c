#include "HeadlessRun.h"
#include "OverflowIcons.h"
#include "PortOption.h"
#include "ProgramInfo.h"
#include "QtModal.h"
#include "RunOptions.h"
#include "SessionBus.h"
#include "Startup.h"
#include "Torvane.h"
#include "TorvaneVersion.h"
#include "Translations.h"
#include "frmTest.h"

#include <QApplication>
#include <QCoreApplication>

#include <iostream>
#include <optional>

namespace {

constexpr const char *Help =
    "Usage: probator [--port PATH]\n"
    "       probator --run FILE [--port PATH] [--simulate] [--keep-going]\n"
    "                [--report FILE] [--report-format junit|json] [--record-dir DIR]\n"
    "Probator, the Torvane device tester: sends commands from a fixed table to a unit\n"
    "and logs what it reports. File > Simulate Torvane has a simulated unit answer.\n"
    "\n"
    "      --port PATH      the unit's serial port, such as /dev/ttyUSB0; without it the\n"
    "                       only serial port present is used\n"
    "      --run FILE       run the commands of a sequence file without a window: the\n"
    "                       log on standard output, a line per command on standard\n"
    "                       error; exit status 0 all passed, 1 one failed, 2 a wrong\n"
    "                       command line or sequence, 130 stopped by Ctrl+C\n"
    "      --simulate       with --run: a simulated unit answers\n"
    "      --keep-going     with --run: run every command, also after a failure\n"
    "      --report FILE    with --run: write a report of the run to FILE\n"
    "      --report-format junit|json\n"
    "                       with --run: the report's format (default junit)\n"
    "      --record-dir DIR with --run: write the log to DIR/<ESN>/<date>T<time>.log\n"
    "      --help           show this help and exit\n"
    "      --version        show the version and exit\n";

// A wrong command line, under the program's name and with the way to the help.
int UsageError(const std::string &what)
{
    std::cerr << "probator: " << what << "\nTry 'probator --help' for more information.\n";
    return 2;
}

} // namespace

int main(int argc, char **argv)
{
    if (startup::AnswerInfoOption({argv + 1, argv + argc}, {"probator", TorvaneVersion, Help},
                                  std::cout))
        return 0;
    const tester::RunOptions run = tester::FindRunOptions({argv + 1, argv + argc});
    if (!run.error.empty()) {
        return UsageError(run.error);
    }
    // Every argument is Probator's own: the application object is shown only the program's
    // name, or it would take the options it knows (-reverse, -style, -platform, ...) and
    // obey them; Qt's own settings stay reachable through its environment variables.
    int qtArgc = 1;
    if (run.run) {
        // No window, so no display: a test bench or CI machine has none.
        QCoreApplication app(qtArgc, argv);
        QCoreApplication::setApplicationName(QStringLiteral("Probator"));
        QCoreApplication::setApplicationVersion(QString::fromLatin1(TorvaneVersion));
        // Scripts and test benches read what a run writes: it stays in English, whatever the
        // locale, with the English catalogue's forms of the counted texts.
        startup::InstallTranslations(QStringLiteral("probator"), QLocale(QLocale::English),
                                     startup::TranslationsFolder(QStringLiteral("probator")));
        return RunWithoutWindow(run);
    }
    const tester::PortOption port = tester::FindPortOption({argv + 1, argv + argc});
    if (!port.error.empty()) {
        return UsageError(port.error);
    }
    if (!startup::HasDisplay("probator"))
        return 1;
    startup::EarlyWork fonts(startup::LoadFontConfiguration);
    std::optional<startup::PlatformGuard> guard(std::in_place, "probator");
    QApplication app(qtArgc, argv);
    guard.reset();
    const startup::EarlyWork bus(ConnectSessionBus);
    // The settings file (~/.config/Torvane/Probator.conf) and the records' folder live
    // under the organisation, beside the init file's folder.
    QApplication::setOrganizationName(QStringLiteral("Torvane"));
    QApplication::setApplicationName(QStringLiteral("Probator"));
    QApplication::setApplicationVersion(QString::fromLatin1(TorvaneVersion));
    // Ties the windows to the installed menu entry (its icon and name on Wayland).
    QApplication::setDesktopFileName(QStringLiteral("org.torvane.Probator"));
    startup::DeferOverflowIconsOfApplication();
    startup::InstallFontFallbacks();
    startup::InstallTranslations(QStringLiteral("probator"), QLocale(),
                                 startup::TranslationsFolder(QStringLiteral("probator")));
    fonts.Wait();
    QtModal modal;
    auto *device = new Torvane(Torvane::DefaultCommSettings, Torvane::DefaultInitFile);
    device->SetPort(QString::fromLocal8Bit(port.port.c_str()));
    // The window takes the control and deletes itself when closed, which ends the program.
    auto *window = new frmTest(modal, device);
    window->show();
    return QApplication::exec();
}
