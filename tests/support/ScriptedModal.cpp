#include "ScriptedModal.h"

#include <QDialog>
#include <QLabel>
#include <QPrinter>

#include <gtest/gtest.h>

namespace {

const char *Name(ScriptedModal::Kind kind)
{
    switch (kind) {
    case ScriptedModal::Kind::Message:
        return "message box";
    case ScriptedModal::Kind::Question:
        return "question";
    case ScriptedModal::Kind::Open:
        return "open dialog";
    case ScriptedModal::Kind::Save:
        return "save dialog";
    case ScriptedModal::Kind::Print:
        return "print dialog";
    case ScriptedModal::Kind::PageSetup:
        return "page setup dialog";
    case ScriptedModal::Kind::Preview:
        return "print preview";
    case ScriptedModal::Kind::Dialog:
        return "dialog of the program's own";
    case ScriptedModal::Kind::Input:
        return "input box";
    }
    return "dialog";
}

} // namespace

ScriptedModal::~ScriptedModal()
{
    EXPECT_TRUE(m_answers.empty()) << m_answers.size() << " scripted answer(s) never asked for";
}

void ScriptedModal::AnswerMessage(MsgAnswer answer)
{
    m_answers.push_back({Kind::Message, answer, {}, false});
}

void ScriptedModal::AnswerQuestion(int index)
{
    m_answers.push_back({Kind::Question, MsgAnswer::Cancel, {}, false, index});
}

void ScriptedModal::AnswerOpen(std::optional<QString> path)
{
    m_answers.push_back({Kind::Open, MsgAnswer::Cancel, std::move(path), false});
}

void ScriptedModal::AnswerSave(std::optional<QString> path)
{
    m_answers.push_back({Kind::Save, MsgAnswer::Cancel, std::move(path), false});
}

void ScriptedModal::AnswerPrint(bool accept, const QString &pdfPath)
{
    m_answers.push_back({Kind::Print, MsgAnswer::Cancel, pdfPath, accept});
}

void ScriptedModal::AnswerPageSetup(std::optional<QPageLayout> layout)
{
    m_answers.push_back({Kind::PageSetup, MsgAnswer::Cancel, {}, layout.has_value(), -1, layout});
}

void ScriptedModal::AnswerPreview(const QString &pdfPath)
{
    m_answers.push_back({Kind::Preview, MsgAnswer::Cancel, pdfPath, true});
}

void ScriptedModal::AnswerDialog(int result)
{
    m_answers.push_back({Kind::Dialog, MsgAnswer::Cancel, {}, false, -1, {}, result});
}

void ScriptedModal::AnswerInput(std::optional<QString> text)
{
    m_answers.push_back({Kind::Input, MsgAnswer::Cancel, std::move(text), false});
}

void ScriptedModal::OnNextDialog(std::function<void()> action)
{
    m_onNext = std::move(action);
}

bool ScriptedModal::Next(Kind kind, Answer &answer)
{
    if (m_onNext) {
        auto action = std::move(m_onNext);
        m_onNext = nullptr;
        action();
    }
    if (m_answers.empty()) {
        ADD_FAILURE() << "unexpected " << Name(kind) << ": no answer was scripted";
        return false;
    }
    answer = m_answers.front();
    m_answers.pop_front();
    if (answer.kind != kind) {
        ADD_FAILURE() << "a " << Name(kind) << " was shown where a " << Name(answer.kind)
                      << " was scripted";
        return false;
    }
    return true;
}

MsgAnswer ScriptedModal::MsgBox(QWidget *, const QString &text, const QString &title, int style)
{
    m_asked.push_back({Kind::Message, text, title, style, {}, {}, {}, {}, {}});
    Answer answer;
    return Next(Kind::Message, answer) ? answer.message : MsgAnswer::Cancel;
}

int ScriptedModal::Ask(QWidget *, const QuestionRequest &request)
{
    Asked asked{};
    asked.kind = Kind::Question;
    asked.text = request.text;
    asked.title = request.title;
    asked.buttons = request.buttons;
    asked.defaultButton = request.defaultButton;
    asked.guarded = request.guarded;
    m_asked.push_back(asked);
    Answer answer;
    const int last = static_cast<int>(request.buttons.size()) - 1;
    if (!Next(Kind::Question, answer))
        return last;
    if (answer.button < 0 || answer.button > last) {
        ADD_FAILURE() << "button " << answer.button << " was scripted for a question with "
                      << request.buttons.size() << " buttons";
        return last;
    }
    return answer.button;
}

std::optional<QString> ScriptedModal::OpenFile(QWidget *, const FileDialogRequest &request)
{
    m_asked.push_back({Kind::Open, {}, request.title, 0, request, {}, {}, {}, {}});
    Answer answer;
    return Next(Kind::Open, answer) ? answer.path : std::nullopt;
}

std::optional<QString> ScriptedModal::SaveFile(QWidget *, const FileDialogRequest &request)
{
    m_asked.push_back({Kind::Save, {}, request.title, 0, request, {}, {}, {}, {}});
    Answer answer;
    return Next(Kind::Save, answer) ? answer.path : std::nullopt;
}

bool ScriptedModal::Print(QWidget *, QPrinter &printer, const PrintRequest &request)
{
    m_asked.push_back(
        {Kind::Print, {}, request.title, 0, {}, request, {}, printer.pageLayout(), {}});
    Answer answer;
    if (!Next(Kind::Print, answer) || !answer.accept)
        return false;
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(answer.path.value_or(QString()));
    return true;
}

bool ScriptedModal::PageSetup(QWidget *, QPrinter &printer)
{
    m_asked.push_back({Kind::PageSetup, {}, {}, 0, {}, {}, {}, printer.pageLayout(), {}});
    Answer answer;
    if (!Next(Kind::PageSetup, answer) || !answer.layout)
        return false;
    printer.setPageLayout(*answer.layout);
    return true;
}

void ScriptedModal::PrintPreview(QWidget *, QPrinter &printer,
                                 const std::function<void(QPrinter &)> &paint)
{
    m_asked.push_back({Kind::Preview, {}, {}, 0, {}, {}, {}, printer.pageLayout(), {}});
    Answer answer;
    if (!Next(Kind::Preview, answer))
        return;
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(answer.path.value_or(QString()));
    paint(printer);
}

int ScriptedModal::ShowDialog(QDialog &dialog)
{
    QStringList labels;
    for (const QLabel *label : dialog.findChildren<QLabel *>())
        labels << label->text();
    m_asked.push_back({Kind::Dialog, {}, dialog.windowTitle(), 0, {}, {}, {}, {}, labels});
    Answer answer;
    if (!Next(Kind::Dialog, answer))
        return QDialog::Rejected;
    return answer.result;
}

std::optional<QString> ScriptedModal::InputBox(QWidget *, const QString &prompt,
                                               const QString &title, const QString &initial)
{
    Asked asked{};
    asked.kind = Kind::Input;
    asked.text = prompt;
    asked.title = title;
    asked.initial = initial;
    m_asked.push_back(asked);
    Answer answer;
    return Next(Kind::Input, answer) ? answer.path : std::nullopt;
}

void ScriptedModal::AboutQt(QWidget *)
{
    m_asked.push_back({Kind::Message, {}, QStringLiteral("About Qt"), MsgStyle::Information});
    Answer answer;
    Next(Kind::Message, answer);
}
