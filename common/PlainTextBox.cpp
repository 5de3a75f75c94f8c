#include "PlainTextBox.h"

#include <QKeyEvent>
#include <QMimeData>
#include <QTextCursor>

PlainTextBox::PlainTextBox(QWidget *parent) : QPlainTextEdit(parent) {}

QString PlainTextBox::SelectedPlainText() const
{
    QString text = textCursor().selectedText();
    text.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
    text.replace(QChar::LineSeparator, QLatin1Char('\n'));
    return text;
}

bool PlainTextBox::event(QEvent *event)
{
    // The box would claim the cut, copy and paste keys for itself before the window's
    // shortcuts see them; left unclaimed they run the window's own commands where it has
    // them, and reach the box as ordinary keys where it has none.
    if (event->type() == QEvent::ShortcutOverride) {
        const auto *key = static_cast<QKeyEvent *>(event);
        if (key->matches(QKeySequence::Cut) || key->matches(QKeySequence::Copy) ||
            key->matches(QKeySequence::Paste)) {
            event->ignore();
            return true;
        }
    }
    return QPlainTextEdit::event(event);
}

bool PlainTextBox::canInsertFromMimeData(const QMimeData *source) const
{
    return source && source->hasText();
}

// Every paste comes here: keys, the middle button, the context menu and drops. Qt's own
// insertion reads the first of the data's formats without asking whether there is one,
// which crashes on a clipboard whose owner has gone; and it would read markdown or HTML
// as formatted text, where this box keeps every character as it is.
void PlainTextBox::insertFromMimeData(const QMimeData *source)
{
    if (!source || isReadOnly() || !source->hasText())
        return;
    const QString text = source->text();
    if (text.isEmpty())
        return;
    insertPlainText(text);
    ensureCursorVisible();
}

QMimeData *PlainTextBox::createMimeDataFromSelection() const
{
    auto *selection = new QMimeData;
    selection->setText(SelectedPlainText());
    return selection;
}
