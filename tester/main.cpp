#include "Startup.h"

#include <QApplication>
#include <QMainWindow>

int main(int argc, char **argv)
{
    if (!startup::HasDisplay("probator"))
        return 1;
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Probator"));
    startup::InstallFontFallbacks();
    QMainWindow window;
    window.setWindowTitle(QStringLiteral("Pellow Tester"));
    window.show();
    return QApplication::exec();
}
