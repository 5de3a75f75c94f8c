#include "frmTest.h"

#include "AccessiblePanel.h"
#include "CommandBox.h"

#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QStatusBar>

// Without names of their own, the list would read as whatever its box shows (the prompt
// "Choose a command" first of all), and the log, the bar and empty panels as nothing.
void frmTest::NameElements()
{
    const QString command = tr("Command");
    cmbCommand->setAccessibleName(command);
    cmbCommand->setAccessibleDescription(tr("The command Send sends to the unit. Pick one "
                                            "from the list; typed text is never sent."));
    // The box inside takes the keys, and some readers speak of it rather than the list.
    cmbCommand->lineEdit()->setAccessibleName(command);

    cmdSend->setAccessibleDescription(tr("Sends the chosen command to the unit."));
    cmdCancel->setAccessibleDescription(tr("Stops the command that is running."));

    txtMessages->setAccessibleName(tr("Log"));
    txtMessages->setAccessibleDescription(
        tr("What was sent to the unit and what it reported, each entry stamped with its "
           "time, the newest last."));

    pgbMain->setAccessibleName(tr("Progress"));
    pgbMain->setAccessibleDescription(tr("How far the running command has come."));

    stbMain->setAccessibleName(tr("Status bar"));
    accessiblepanel::SetCaption(*m_panel1, tr("Outcome"));
    m_panel1->setAccessibleDescription(tr("How the last command ended."));
    accessiblepanel::SetCaption(*m_panel2, tr("Unit status"));
    m_panel2->setAccessibleDescription(
        tr("The unit's latest status, or how far the running command has come."));
}
