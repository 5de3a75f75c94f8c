#include "QtModal.h"
#include "Startup.h"
#include "frmTest.h"

#include <QApplication>

int main(int argc, char **argv)
{
    if (!startup::HasDisplay("probator"))
        return 1;
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Probator"));
    startup::InstallFontFallbacks();
    QtModal modal;
    // The window deletes itself when closed, which ends the program.
    auto *window = new frmTest(modal);
    window->show();
    return QApplication::exec();
}
