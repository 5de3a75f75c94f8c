#pragma once

#include "Modal.h"

#include <QStringList>

// The real dialogs. Print, PageSetup and PrintPreview show nothing and answer "cancelled":
// a program that prints uses QtPrintingModal.
class QtModal : public Modal
{
public:
    MsgAnswer MsgBox(QWidget *parent, const QString &text, const QString &title,
                     int style) override;
    int Ask(QWidget *parent, const QuestionRequest &request) override;
    std::optional<QString> OpenFile(QWidget *parent, const FileDialogRequest &request) override;
    std::optional<QString> SaveFile(QWidget *parent, const FileDialogRequest &request) override;
    bool Print(QWidget *parent, QPrinter &printer, const PrintRequest &request) override;
    bool PageSetup(QWidget *parent, QPrinter &printer) override;
    void PrintPreview(QWidget *parent, QPrinter &printer,
                      const std::function<void(QPrinter &)> &paint) override;
    int ShowDialog(QDialog &dialog) override;
    std::optional<QString> InputBox(QWidget *parent, const QString &prompt, const QString &title,
                                    const QString &initial) override;
    void AboutQt(QWidget *parent) override;
};

// "Desc|*.cfg|All Files (*.*)|*.*" as Qt's name filters. "*.*" becomes "*", since Qt
// would otherwise hide every file without a dot in its name.
QStringList QtNameFilters(const QString &barSeparated);
