#include "CommandBox.h"

#include <QCompleter>
#include <QLineEdit>
#include <QtDebug>

CommandBox::CommandBox(QWidget *parent) : QComboBox(parent)
{
    setEditable(true);
    setInsertPolicy(QComboBox::NoInsert);

    // QComboBox selects the entry that matches the typed text when editing finishes
    // (leaving the box, for one) and when its completer is activated. Here typed text
    // never selects, so both links are cut; completion itself still fills the box in.
    if (!disconnect(lineEdit(), &QLineEdit::editingFinished, this, nullptr))
        qWarning("CommandBox: the box's end of editing no longer reaches the list");
    if (QCompleter *completer = lineEdit()->completer())
        disconnect(completer, qOverload<const QModelIndex &>(&QCompleter::activated), this,
                   nullptr);

    // Typing makes the text the user's own, even when it spells an entry.
    connect(lineEdit(), &QLineEdit::textEdited, this, [this] {
        if (currentIndex() >= 0)
            ForgetSelection();
    });
    // Completion and undo change the text without counting as typing.
    connect(lineEdit(), &QLineEdit::textChanged, this, [this](const QString &text) {
        if (currentIndex() >= 0 && text != itemText(currentIndex()))
            ForgetSelection();
    });
}

void CommandBox::ForgetSelection()
{
    // Dropping the selection empties the box; the user's text and caret go back in.
    QLineEdit *edit = lineEdit();
    const QString text = edit->text();
    const int caret = edit->cursorPosition();
    setCurrentIndex(-1);
    edit->setText(text);
    edit->setCursorPosition(caret);
}
