#include "FindBar.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace {

QPushButton *Button(const char *name, const QString &caption, QWidget *parent)
{
    auto *button = new QPushButton(caption, parent);
    button->setObjectName(QString::fromUtf8(name));
    // Enter in the fields acts; the buttons must not take it over as the default.
    button->setAutoDefault(false);
    return button;
}

// A search runs within one line, so a break pasted into a field cannot be meant.
QString OneLine(QString text)
{
    text.replace(QLatin1Char('\r'), QLatin1Char(' '));
    text.replace(QLatin1Char('\n'), QLatin1Char(' '));
    return text;
}

} // namespace

FindBar::FindBar(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("fraFind"));
    auto *grid = new QGridLayout(this);
    grid->setContentsMargins(4, 2, 4, 2);
    grid->setVerticalSpacing(2);

    auto *findLabel = new QLabel(QStringLiteral("Fi&nd:"), this);
    m_find = new QLineEdit(this);
    m_find->setObjectName(QStringLiteral("txtFind"));
    m_find->setClearButtonEnabled(true);
    findLabel->setBuddy(m_find);
    m_matchCase = new QCheckBox(QStringLiteral("Match &case"), this);
    m_matchCase->setObjectName(QStringLiteral("chkMatchCase"));
    m_wholeWord = new QCheckBox(QStringLiteral("Whole w&ord"), this);
    m_wholeWord->setObjectName(QStringLiteral("chkWholeWord"));
    QPushButton *next = Button("cmdFindNext", QStringLiteral("Ne&xt"), this);
    QPushButton *previous = Button("cmdFindPrevious", QStringLiteral("&Previous"), this);
    QPushButton *close = Button("cmdFindClose", QStringLiteral("Close"), this);

    auto *replaceLabel = new QLabel(QStringLiteral("Rep&lace with:"), this);
    m_replace = new QLineEdit(this);
    m_replace->setObjectName(QStringLiteral("txtReplace"));
    replaceLabel->setBuddy(m_replace);
    QPushButton *replace = Button("cmdReplace", QStringLiteral("&Replace"), this);
    QPushButton *replaceAll = Button("cmdReplaceAll", QStringLiteral("Replace &All"), this);

    // The switches get a row of their own, under the fields, so that the bar fits the
    // frame's default width without widening it.
    auto *switches = new QHBoxLayout;
    switches->setContentsMargins(0, 0, 0, 0);
    switches->addWidget(m_matchCase);
    switches->addWidget(m_wholeWord);
    switches->addStretch(1);
    grid->addWidget(findLabel, 0, 0);
    grid->addWidget(m_find, 0, 1);
    grid->addWidget(next, 0, 2);
    grid->addWidget(previous, 0, 3);
    grid->addWidget(close, 0, 4);
    grid->addWidget(replaceLabel, 1, 0);
    grid->addWidget(m_replace, 1, 1);
    grid->addWidget(replace, 1, 2);
    grid->addWidget(replaceAll, 1, 3);
    grid->addLayout(switches, 2, 1, 1, 4);
    grid->setColumnStretch(1, 1);
    m_replaceRow = {replaceLabel, m_replace, replace, replaceAll};
    // Tab goes from what to find to what to put there, then through the buttons.
    const QList<QWidget *> tabOrder = {m_find,     m_replace,   next,        previous, replace,
                                       replaceAll, m_matchCase, m_wholeWord, close};
    for (qsizetype i = 1; i < tabOrder.size(); ++i)
        setTabOrder(tabOrder[i - 1], tabOrder[i]);

    connect(next, &QPushButton::clicked, this, &FindBar::FindNext);
    connect(previous, &QPushButton::clicked, this, &FindBar::FindPrevious);
    connect(replace, &QPushButton::clicked, this, &FindBar::Replace);
    connect(replaceAll, &QPushButton::clicked, this, &FindBar::ReplaceAll);
    connect(close, &QPushButton::clicked, this, [this] {
        hide();
        emit Closed();
    });
    connect(m_replace, &QLineEdit::returnPressed, this, &FindBar::Replace);
    hide();
}

void FindBar::Open(bool withReplace, const QString &pattern)
{
    for (QWidget *widget : std::as_const(m_replaceRow))
        widget->setVisible(withReplace);
    if (!pattern.isEmpty())
        m_find->setText(OneLine(pattern));
    show();
    m_find->setFocus(Qt::ShortcutFocusReason);
    m_find->selectAll();
}

QString FindBar::Pattern() const
{
    return OneLine(m_find->text());
}

QString FindBar::Replacement() const
{
    return OneLine(m_replace->text());
}

textsearch::Options FindBar::Options() const
{
    return {m_matchCase->isChecked(), m_wholeWord->isChecked()};
}

void FindBar::keyPressEvent(QKeyEvent *event)
{
    switch (event->key()) {
    case Qt::Key_Escape:
        hide();
        emit Closed();
        return;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        // Enter in the find field looks on, Shift+Enter back; the replace field has its own.
        if (m_find->hasFocus()) {
            if (event->modifiers() & Qt::ShiftModifier)
                emit FindPrevious();
            else
                emit FindNext();
            return;
        }
        break;
    default:
        break;
    }
    QWidget::keyPressEvent(event);
}
