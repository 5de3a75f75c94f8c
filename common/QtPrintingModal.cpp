#include "QtPrintingModal.h"

#include <QCoreApplication>
#include <QPageSetupDialog>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>

bool QtPrintingModal::Print(QWidget *parent, QPrinter &printer, const PrintRequest &request)
{
    QPrintDialog dialog(&printer, parent);
    dialog.setWindowTitle(request.title);
    QAbstractPrintDialog::PrintDialogOptions options = dialog.options();
    options.setFlag(QAbstractPrintDialog::PrintSelection, request.selectionPreselected);
    options.setFlag(QAbstractPrintDialog::PrintPageRange, !request.pageRangesDisabled);
    dialog.setOptions(options);
    if (request.selectionPreselected)
        dialog.setPrintRange(QAbstractPrintDialog::Selection);
    return dialog.exec() == QDialog::Accepted;
}

bool QtPrintingModal::PageSetup(QWidget *parent, QPrinter &printer)
{
    QPageSetupDialog dialog(&printer, parent);
    dialog.setWindowTitle(QCoreApplication::translate("QtModal", "Page Setup"));
    return dialog.exec() == QDialog::Accepted;
}

void QtPrintingModal::PrintPreview(QWidget *parent, QPrinter &printer,
                                   const std::function<void(QPrinter &)> &paint)
{
    QPrintPreviewDialog dialog(&printer, parent);
    dialog.setWindowTitle(QCoreApplication::translate("QtModal", "Print Preview"));
    QObject::connect(&dialog, &QPrintPreviewDialog::paintRequested, &dialog,
                     [&paint](QPrinter *target) { paint(*target); });
    dialog.exec();
}
