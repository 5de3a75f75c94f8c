// Help > Contents and Help > Search For Help On: one guide window, made when first asked
// for and kept, so that it stays where the reader left it.

#include "frmHelp.h"
#include "frmMain.h"

#include <QAction>

void frmMain::ConnectHelpCommands()
{
    connect(Item("mnuHelpContents"), &QAction::triggered, this, [this] { Help().ShowContents(); });
    connect(Item("mnuHelpSearchForHelpOn"), &QAction::triggered, this,
            [this] { Help().ShowSearch(); });
}

frmHelp &frmMain::Help()
{
    if (!m_help)
        m_help = new frmHelp(this);
    return *m_help;
}
