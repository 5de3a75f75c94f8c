#pragma once

#include "QtModal.h"

// The real dialogs, with the print dialogs, for a program that prints. Apart from the
// others so that a program that does not print never loads the print support library.
class QtPrintingModal : public QtModal
{
public:
    bool Print(QWidget *parent, QPrinter &printer, const PrintRequest &request) override;
    bool PageSetup(QWidget *parent, QPrinter &printer) override;
    void PrintPreview(QWidget *parent, QPrinter &printer,
                      const std::function<void(QPrinter &)> &paint) override;
};
