#pragma once
// Everything modal that the windows show (message boxes, the open, save and print
// dialogs, the one-line input box) goes through this one interface. The programs pass a
// QtModal (the editor, which prints, a QtPrintingModal); tests pass a scripted one that
// answers in order and records what was asked.

#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

class QDialog;
class QPrinter;
class QWidget;

// Message-box styles: a button set plus an icon, added together.
namespace MsgStyle {
inline constexpr int OKOnly = 0;
inline constexpr int YesNoCancel = 3;
inline constexpr int YesNo = 4;
inline constexpr int Exclamation = 48;
inline constexpr int Information = 64;
// The second button (No) is the one Enter chooses, for questions whose Yes loses work.
inline constexpr int DefaultButton2 = 256;
} // namespace MsgStyle

enum class MsgAnswer { OK, Yes, No, Cancel };

struct FileDialogRequest
{
    QString title;
    QString fileName;    // the name the dialog starts with
    QString filter;      // "Description|pattern|Description|pattern|..."
    int filterIndex = 1; // 1-based choice preselected in the filter list
};

struct PrintRequest
{
    QString title;
    bool selectionPreselected = false; // the Selection choice instead of All
    bool pageRangesDisabled = true;
};

// A question whose answers are named by their own buttons, for choices that Yes, No and
// Cancel would not say plainly.
struct QuestionRequest
{
    QString title; // empty: the program's own title
    QString text;
    QStringList buttons;   // in order; the last answers Escape
    int defaultButton = 0; // the index (from 0) of the button that Enter chooses
    // For a question that may come up while the user types (about a file another program
    // changed): no key answers it until the keyboard has been quiet for a moment, no button
    // has a letter of its own, and Escape as well as Enter then choose the default button,
    // which must be the answer that keeps the user's work.
    bool guarded = false;
};

class Modal
{
public:
    virtual ~Modal() = default;

    // An empty title stands for the program's own title.
    virtual MsgAnswer MsgBox(QWidget *parent, const QString &text, const QString &title,
                             int style) = 0;
    // The index (from 0) of the button chosen; closing the box otherwise picks the last.
    virtual int Ask(QWidget *parent, const QuestionRequest &request) = 0;
    // The chosen path, or nothing when the user cancelled.
    virtual std::optional<QString> OpenFile(QWidget *parent, const FileDialogRequest &request) = 0;
    virtual std::optional<QString> SaveFile(QWidget *parent, const FileDialogRequest &request) = 0;
    // Lets the user set up `printer`; false when the user cancelled.
    virtual bool Print(QWidget *parent, QPrinter &printer, const PrintRequest &request) = 0;
    // Lets the user choose the paper, orientation and margins of `printer`; false when the
    // user cancelled.
    virtual bool PageSetup(QWidget *parent, QPrinter &printer) = 0;
    // Shows the pages that `paint` puts on `printer` until the user closes the preview.
    virtual void PrintPreview(QWidget *parent, QPrinter &printer,
                              const std::function<void(QPrinter &)> &paint) = 0;
    // Runs one of the program's own dialogs to its end; its result (QDialog::Accepted or
    // QDialog::Rejected).
    virtual int ShowDialog(QDialog &dialog) = 0;
    // One line of text asked for under `prompt`, starting as `initial`; nothing when the
    // user cancelled.
    virtual std::optional<QString> InputBox(QWidget *parent, const QString &prompt,
                                            const QString &title, const QString &initial) = 0;
    // The toolkit's own box naming the Qt version the program runs on, until it is closed.
    virtual void AboutQt(QWidget *parent) = 0;
};
