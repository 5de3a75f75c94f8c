// Page Setup and Print Preview. The layout chosen in Page Setup is what Print and the
// preview lay their pages out with, and it is remembered for the next start.

#include "Modal.h"
#include "PageLayoutStore.h"
#include "TextPrinter.h"
#include "frmDocument.h"
#include "frmMain.h"

#include <QAction>
#include <QPlainTextEdit>
#include <QPrinter>

void frmMain::ConnectPrintingCommands()
{
    m_pageLayout = ReadPageLayout();
    connect(Item("mnuFilePageSetup"), &QAction::triggered, this, &frmMain::mnuFilePageSetup_Click);
    connect(Item("mnuFilePrintPreview"), &QAction::triggered, this,
            &frmMain::mnuFilePrintPreview_Click);
}

void frmMain::mnuFilePageSetup_Click()
{
    QPrinter printer(QPrinter::HighResolution);
    ApplyPageLayout(printer, m_pageLayout);
    if (!m_modal.PageSetup(this, printer))
        return;
    m_pageLayout = printer.pageLayout();
    WritePageLayout(*m_pageLayout);
}

void frmMain::mnuFilePrintPreview_Click()
{
    frmDocument *document = ActiveDocument();
    if (!document)
        return;
    const QPlainTextEdit &box = *document->txtScript();
    const QString text = TextToPrint(box, document->Text());
    const QFont font = box.font();
    QPrinter printer(QPrinter::HighResolution);
    ApplyPageLayout(printer, m_pageLayout);
    // Printing from the preview goes the way Print does, so a failure there reports
    // nothing either.
    m_modal.PrintPreview(this, printer,
                         [&text, &font](QPrinter &target) { PrintPlainText(target, text, font); });
}
