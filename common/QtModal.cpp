#include "QtModal.h"

#include <QApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QInputDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QRegularExpression>
#include <QTimer>

#include <optional>

MsgAnswer QtModal::MsgBox(QWidget *parent, const QString &text, const QString &title, int style)
{
    QMessageBox box(parent);
    box.setWindowTitle(title.isEmpty() ? QApplication::applicationDisplayName() : title);
    box.setText(text);
    box.setTextFormat(Qt::PlainText);
    switch (style & 0x70) {
    case MsgStyle::Information:
        box.setIcon(QMessageBox::Information);
        break;
    case MsgStyle::Exclamation:
        box.setIcon(QMessageBox::Warning);
        break;
    default:
        box.setIcon(QMessageBox::NoIcon);
        break;
    }
    if ((style & 0x0F) == MsgStyle::YesNoCancel) {
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        box.setDefaultButton(QMessageBox::Yes);
        box.setEscapeButton(QMessageBox::Cancel);
    } else if ((style & 0x0F) == MsgStyle::YesNo) {
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        box.setDefaultButton(QMessageBox::Yes);
        box.setEscapeButton(QMessageBox::No);
    } else {
        box.setStandardButtons(QMessageBox::Ok);
    }
    if (style & MsgStyle::DefaultButton2) {
        if (QAbstractButton *second = box.button(QMessageBox::No))
            box.setDefaultButton(qobject_cast<QPushButton *>(second));
    }
    switch (box.exec()) {
    case QMessageBox::Yes:
        return MsgAnswer::Yes;
    case QMessageBox::No:
        return MsgAnswer::No;
    case QMessageBox::Cancel:
        return MsgAnswer::Cancel;
    default:
        if ((style & 0x0F) == MsgStyle::YesNo)
            return MsgAnswer::No;
        return (style & 0x0F) == MsgStyle::YesNoCancel ? MsgAnswer::Cancel : MsgAnswer::OK;
    }
}

namespace {

// Keeps a question's buttons out of reach of the keys a person was typing when it came up:
// they stay disabled, and every key is swallowed, until no key has come for a moment.
class TypingGuard : public QObject
{
public:
    static constexpr int QuietMs = 1000;

    TypingGuard(QMessageBox &box, QList<QPushButton *> buttons)
        : m_box(box), m_buttons(std::move(buttons))
    {
        for (QPushButton *button : std::as_const(m_buttons))
            button->setEnabled(false);
        m_quiet.setSingleShot(true);
        m_quiet.setInterval(QuietMs);
        connect(&m_quiet, &QTimer::timeout, this, [this] { Release(); });
        m_quiet.start();
        // The keys go wherever the focus is, which may be no widget of the box at all.
        QCoreApplication::instance()->installEventFilter(this);
    }

    ~TypingGuard() override { QCoreApplication::instance()->removeEventFilter(this); }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (!m_quiet.isActive())
            return false;
        switch (event->type()) {
        case QEvent::KeyPress:
        case QEvent::KeyRelease:
        case QEvent::ShortcutOverride:
        case QEvent::Shortcut:
            break;
        default:
            return false;
        }
        if (watched != &m_box && !m_box.isAncestorOf(qobject_cast<QWidget *>(watched)) &&
            QApplication::activeModalWidget() != &m_box)
            return false;
        if (event->type() == QEvent::KeyPress)
            m_quiet.start();
        return true;
    }

private:
    void Release()
    {
        for (QPushButton *button : std::as_const(m_buttons))
            button->setEnabled(true);
        m_box.setDefaultButton(m_buttons.constFirst());
        m_buttons.constFirst()->setFocus();
    }

    QMessageBox &m_box;
    QList<QPushButton *> m_buttons;
    QTimer m_quiet;
};

} // namespace

int QtModal::Ask(QWidget *parent, const QuestionRequest &request)
{
    QMessageBox box(parent);
    box.setWindowTitle(request.title.isEmpty() ? QApplication::applicationDisplayName()
                                               : request.title);
    box.setText(request.text);
    box.setTextFormat(Qt::PlainText);
    box.setIcon(QMessageBox::Question);
    QList<QPushButton *> buttons;
    for (const QString &caption : request.buttons) {
        // Roles only order the buttons the platform's way; the answer is the index.
        const bool last = buttons.size() + 1 == request.buttons.size();
        buttons << box.addButton(caption, last && buttons.size() > 0 ? QMessageBox::RejectRole
                                                                     : QMessageBox::AcceptRole);
    }
    if (buttons.isEmpty())
        buttons << box.addButton(QMessageBox::Ok);
    QPushButton *const preferred = buttons.value(request.defaultButton, buttons.constFirst());
    box.setDefaultButton(preferred);
    box.setEscapeButton(request.guarded ? preferred : buttons.constLast());
    std::optional<TypingGuard> guard;
    if (request.guarded)
        guard.emplace(box, buttons);
    box.exec();
    const qsizetype chosen = buttons.indexOf(qobject_cast<QPushButton *>(box.clickedButton()));
    return static_cast<int>(chosen < 0 ? buttons.size() - 1 : chosen);
}

QStringList QtNameFilters(const QString &barSeparated)
{
    const QStringList parts = barSeparated.split(QLatin1Char('|'));
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QString description = parts[i];
        QString patterns = parts[i + 1];
        patterns.replace(QLatin1String("*.*"), QLatin1String("*"));
        patterns.replace(QLatin1Char(';'), QLatin1Char(' '));
        // Qt reads the patterns from the last parentheses of a filter, so the description's
        // own "(*.*)" is dropped and the real patterns put in its place.
        const qsizetype open = description.lastIndexOf(QLatin1Char('('));
        if (open > 0 && description.endsWith(QLatin1Char(')')))
            description = description.left(open).trimmed();
        filters << QStringLiteral("%1 (%2)").arg(description, patterns);
    }
    return filters;
}

namespace {

// The suffix a filter of one plain pattern stands for ("cfg" for "Config (*.cfg)"), or
// nothing for a filter of several patterns or wildcards.
QString SingleSuffix(const QString &filter)
{
    static const QRegularExpression onePattern(QStringLiteral("\\(\\*\\.([^*?. ()\\[\\]]+)\\)$"));
    const QRegularExpressionMatch match = onePattern.match(filter);
    return match.hasMatch() ? match.captured(1) : QString();
}

std::optional<QString> RunFileDialog(QWidget *parent, const FileDialogRequest &request,
                                     QFileDialog::AcceptMode mode)
{
    QFileDialog dialog(parent, request.title);
    dialog.setAcceptMode(mode);
    // Open takes a typed new name too: the caller opens it as an empty document under
    // that name, which is how a new file is started.
    dialog.setFileMode(QFileDialog::AnyFile);
    // The callers ask their own overwrite question.
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    const QStringList filters = QtNameFilters(request.filter);
    dialog.setNameFilters(filters);
    if (request.filterIndex >= 1 && request.filterIndex <= filters.size())
        dialog.selectNameFilter(filters[request.filterIndex - 1]);
    if (!request.fileName.isEmpty())
        dialog.selectFile(request.fileName);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    QString chosen = dialog.selectedFiles().constFirst();
    // A name typed without a suffix takes that of the type chosen, as the Open dialog's
    // filter would otherwise hide the file. Done here rather than by the dialog's default
    // suffix, which the desktop's own dialogs may not apply and which would not follow
    // the type chosen.
    const QString suffix =
        mode == QFileDialog::AcceptSave ? SingleSuffix(dialog.selectedNameFilter()) : QString();
    if (!suffix.isEmpty() && !QFileInfo(chosen).fileName().contains(QLatin1Char('.')))
        chosen += QLatin1Char('.') + suffix;
    return chosen;
}

} // namespace

std::optional<QString> QtModal::OpenFile(QWidget *parent, const FileDialogRequest &request)
{
    return RunFileDialog(parent, request, QFileDialog::AcceptOpen);
}

std::optional<QString> QtModal::SaveFile(QWidget *parent, const FileDialogRequest &request)
{
    return RunFileDialog(parent, request, QFileDialog::AcceptSave);
}

// Without printing, a program is spared the print support library, which every start
// would otherwise load (QtPrintingModal has the dialogs).
bool QtModal::Print(QWidget *parent, QPrinter &printer, const PrintRequest &request)
{
    Q_UNUSED(parent);
    Q_UNUSED(printer);
    Q_UNUSED(request);
    return false;
}

bool QtModal::PageSetup(QWidget *parent, QPrinter &printer)
{
    Q_UNUSED(parent);
    Q_UNUSED(printer);
    return false;
}

void QtModal::PrintPreview(QWidget *parent, QPrinter &printer,
                           const std::function<void(QPrinter &)> &paint)
{
    Q_UNUSED(parent);
    Q_UNUSED(printer);
    Q_UNUSED(paint);
}

int QtModal::ShowDialog(QDialog &dialog)
{
    return dialog.exec();
}

std::optional<QString> QtModal::InputBox(QWidget *parent, const QString &prompt,
                                         const QString &title, const QString &initial)
{
    QInputDialog dialog(parent);
    dialog.setWindowTitle(title.isEmpty() ? QApplication::applicationDisplayName() : title);
    dialog.setLabelText(prompt);
    dialog.setTextValue(initial);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.textValue();
}

void QtModal::AboutQt(QWidget *parent)
{
    QMessageBox::aboutQt(parent);
}
