#include "ProgramInfo.h"
#include "QtModal.h"
#include "Startup.h"
#include "TorvaneVersion.h"
#include "frmTest.h"

#include <QApplication>

#include <iostream>

namespace {

constexpr const char *Help =
    "Usage: probator\n"
    "Probator, the Torvane device tester: sends commands from a fixed table to a unit\n"
    "and logs what it reports. File > Simulate Torvane has a simulated unit answer.\n"
    "\n"
    "      --help       show this help and exit\n"
    "      --version    show the version and exit\n";

} // namespace

int main(int argc, char **argv)
{
    if (startup::AnswerInfoOption({argv + 1, argv + argc}, {"probator", TorvaneVersion, Help},
                                  std::cout))
        return 0;
    if (!startup::HasDisplay("probator"))
        return 1;
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Probator"));
    QApplication::setApplicationVersion(QString::fromLatin1(TorvaneVersion));
    // Ties the windows to the installed menu entry (its icon and name on Wayland).
    QApplication::setDesktopFileName(QStringLiteral("org.torvane.Probator"));
    startup::InstallFontFallbacks();
    QtModal modal;
    // The window deletes itself when closed, which ends the program.
    auto *window = new frmTest(modal);
    window->show();
    return QApplication::exec();
}
