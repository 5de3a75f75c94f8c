#include "Globals.h"

#include "Modal.h"

MainFrame *MainWindow = nullptr;

void ReportError(const RunTimeError &error, const QString &source, Modal &modal)
{
    modal.MsgBox(nullptr, QString::fromStdString(error.Description),
                 QStringLiteral("Error in: ") + source, MsgStyle::Information);
}
