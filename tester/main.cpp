#include "PortOption.h"
#include "ProgramInfo.h"
#include "QtModal.h"
#include "Startup.h"
#include "Torvane.h"
#include "TorvaneVersion.h"
#include "frmTest.h"

#include <QApplication>

#include <iostream>

namespace {

constexpr const char *Help =
    "Usage: probator [--port PATH]\n"
    "Probator, the Torvane device tester: sends commands from a fixed table to a unit\n"
    "and logs what it reports. File > Simulate Torvane has a simulated unit answer.\n"
    "\n"
    "      --port PATH  the unit's serial port, such as /dev/ttyUSB0; without it the\n"
    "                   only serial port present is used\n"
    "      --help       show this help and exit\n"
    "      --version    show the version and exit\n";

} // namespace

int main(int argc, char **argv)
{
    if (startup::AnswerInfoOption({argv + 1, argv + argc}, {"probator", TorvaneVersion, Help},
                                  std::cout))
        return 0;
    const tester::PortOption port = tester::FindPortOption({argv + 1, argv + argc});
    if (!port.error.empty()) {
        std::cerr << "probator: " << port.error << '\n';
        return 2;
    }
    if (!startup::HasDisplay("probator"))
        return 1;
    // Every argument is Probator's own: QApplication would take the options it knows
    // (-reverse, -style, -platform, ...) and obey them, so it is shown only the program's
    // name; Qt's own settings stay reachable through its environment variables.
    int qtArgc = 1;
    QApplication app(qtArgc, argv);
    QApplication::setApplicationName(QStringLiteral("Probator"));
    QApplication::setApplicationVersion(QString::fromLatin1(TorvaneVersion));
    // Ties the windows to the installed menu entry (its icon and name on Wayland).
    QApplication::setDesktopFileName(QStringLiteral("org.torvane.Probator"));
    startup::InstallFontFallbacks();
    QtModal modal;
    auto *device = new Torvane(Torvane::DefaultCommSettings, Torvane::DefaultInitFile);
    device->SetPort(QString::fromLocal8Bit(port.port.c_str()));
    // The window takes the control and deletes itself when closed, which ends the program.
    auto *window = new frmTest(modal, device);
    window->show();
    return QApplication::exec();
}
