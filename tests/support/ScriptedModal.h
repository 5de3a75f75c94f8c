#pragma once
// A Modal that answers from a script instead of showing anything. Each call takes the
// next scripted answer and is recorded; a call with no answer left, or of another kind
// than scripted, fails the test and answers Cancel.

#include "Modal.h"

#include <QPageLayout>
#include <QString>
#include <QStringList>

#include <deque>
#include <functional>
#include <vector>

class ScriptedModal : public Modal
{
public:
    enum class Kind { Message, Question, Open, Save, Print, PageSetup, Preview, Dialog, Input };

    struct Asked
    {
        Kind kind;
        QString text; // message text, or the input box's prompt
        QString title;
        int style = 0;
        FileDialogRequest file;
        PrintRequest print;
        QStringList buttons;    // a question's buttons
        QPageLayout pageLayout; // the printer's layout as the page setup or preview got it
        QStringList labels;     // a dialog's label texts, in the order they were made
        QString initial = {};   // the text the input box started with
        int defaultButton = -1; // the question's button that Enter chooses
        bool guarded = false;   // a question that no key answers while the user types
    };

    ~ScriptedModal() override;

    // Queue the next answers, in the order the dialogs will be shown.
    void AnswerMessage(MsgAnswer answer);
    // Answer the next question with the button at `index` (from 0).
    void AnswerQuestion(int index);
    void AnswerOpen(std::optional<QString> path);
    void AnswerSave(std::optional<QString> path);
    // Accept the print dialog and print into a PDF file at `pdfPath`, or cancel it.
    void AnswerPrint(bool accept, const QString &pdfPath = {});
    // Accept the page setup dialog with `layout` chosen, or cancel it (nothing).
    void AnswerPageSetup(std::optional<QPageLayout> layout);
    // Let the preview draw its pages into a PDF file at `pdfPath`, then close it.
    void AnswerPreview(const QString &pdfPath);
    // End the next of the program's own dialogs with `result`.
    void AnswerDialog(int result);
    // Accept the input box with `text`, or cancel it.
    void AnswerInput(std::optional<QString> text);
    // Run `action` when the next dialog of any kind is shown, before it is answered
    // (for instance to check the state of a window at that moment).
    void OnNextDialog(std::function<void()> action);

    // Everything asked so far, in order.
    const std::vector<Asked> &asked() const { return m_asked; }
    std::size_t pending() const { return m_answers.size(); }

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
    // Recorded as a message box titled "About Qt", answered like one.
    void AboutQt(QWidget *parent) override;

private:
    struct Answer
    {
        Kind kind;
        MsgAnswer message = MsgAnswer::Cancel;
        std::optional<QString> path;
        bool accept = false;
        int button = -1;
        std::optional<QPageLayout> layout;
        int result = 0;
    };

    bool Next(Kind kind, Answer &answer);

    std::deque<Answer> m_answers;
    std::vector<Asked> m_asked;
    std::function<void()> m_onNext;
};
