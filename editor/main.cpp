#include "Main.h"
#include "QtModal.h"
#include "Startup.h"

#include <QApplication>

int main(int argc, char **argv)
{
    if (!startup::HasDisplay("quillon"))
        return 1;
    QApplication app(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("Torvane"));
    QApplication::setApplicationName(QStringLiteral("Quillon"));
    QApplication::setApplicationVersion(QStringLiteral("1.0.0"));
    startup::InstallFontFallbacks();

    QtModal modal;
    if (!Main(QApplication::arguments().mid(1), modal))
        return 0;
    return QApplication::exec();
}
