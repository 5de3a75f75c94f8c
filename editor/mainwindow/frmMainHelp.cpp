// Help > Contents and Help > Search For Help On: one guide window, made when first asked
// for and kept, so that it stays where the reader left it. Help > About Qt is the
// toolkit's own box.

#include "Modal.h"
#include "frmHelp.h"
#include "frmMain.h"

#include <QAction>

void frmMain::ConnectHelpCommands()
{
    connect(Item("mnuHelpContents"), &QAction::triggered, this, [this] { Help().ShowContents(); });
    connect(Item("mnuHelpSearchForHelpOn"), &QAction::triggered, this,
            [this] { Help().ShowSearch(); });
    connect(Item("mnuHelpAboutQt"), &QAction::triggered, this, [this] { m_modal.AboutQt(this); });
}

frmHelp &frmMain::Help()
{
    if (!m_help)
        m_help = new frmHelp(this);
    return *m_help;
}
