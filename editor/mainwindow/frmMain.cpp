#include "frmMain.h"

#include <QStatusBar>

frmMain::frmMain(Modal &modal, QWidget *parent) : QMainWindow(parent), m_modal(modal)
{
    setWindowTitle(QStringLiteral("Torvane Config File Editor"));
}

void frmMain::SetStatusText(const QString &text)
{
    statusBar()->showMessage(text);
}
