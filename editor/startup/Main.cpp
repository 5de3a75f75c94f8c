#include "Main.h"

#include "Globals.h"
#include "frmMain.h"

bool Main(const QStringList &arguments, Modal &modal)
{
    Q_UNUSED(arguments);
    auto *frame = new frmMain(modal);
    MainWindow = frame;
    frame->show();
    return true;
}
