#include "CommandBox.h"

#include <QAbstractItemView>
#include <QAccessibleWidget>
#include <QCompleter>
#include <QLineEdit>
#include <QtDebug>

namespace {

// Qt names an editable drop-down on Linux by the text in its box, counting on a label
// beside it for the rest; this list has no label, and its box starts with a prompt. The
// interface Qt's own is like, but named by the list's accessible name.
class CommandBoxAccessible : public QAccessibleWidget
{
public:
    explicit CommandBoxAccessible(CommandBox *box) : QAccessibleWidget(box, QAccessible::ComboBox)
    {}

    QString text(QAccessible::Text t) const override
    {
        if (t == QAccessible::Value)
            return Box()->currentText();
        return QAccessibleWidget::text(t);
    }

    // The list that drops down, then the box one types in.
    int childCount() const override { return 2; }
    QAccessibleInterface *child(int index) const override
    {
        if (index == 0)
            return QAccessible::queryAccessibleInterface(Box()->view());
        if (index == 1)
            return QAccessible::queryAccessibleInterface(Box()->lineEdit());
        return nullptr;
    }
    int indexOfChild(const QAccessibleInterface *child) const override
    {
        if (child->object() == Box()->view())
            return 0;
        if (child->object() == Box()->lineEdit())
            return 1;
        return -1;
    }

    QStringList actionNames() const override
    {
        return QStringList{showMenuAction()} + QAccessibleWidget::actionNames();
    }
    void doAction(const QString &actionName) override
    {
        if (actionName != showMenuAction()) {
            QAccessibleWidget::doAction(actionName);
            return;
        }
        if (Box()->view()->isVisible())
            Box()->hidePopup();
        else
            Box()->showPopup();
    }

private:
    CommandBox *Box() const { return static_cast<CommandBox *>(widget()); }
};

QAccessibleInterface *CommandBoxes(const QString &className, QObject *object)
{
    Q_UNUSED(className);
    if (auto *box = qobject_cast<CommandBox *>(object))
        return new CommandBoxAccessible(box);
    return nullptr;
}

} // namespace

CommandBox::CommandBox(QWidget *parent) : QComboBox(parent)
{
    static const bool named = [] {
        QAccessible::installFactory(CommandBoxes);
        return true;
    }();
    Q_UNUSED(named);
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
