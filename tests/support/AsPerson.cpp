#include "AsPerson.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <QTest>
#include <QTextDocument>
#include <QWindow>

#include <gtest/gtest.h>

namespace asperson {

namespace {

// The window a person's key reaches: an open popup holds the keyboard, else the window
// the platform gave the focus to.
QWindow *KeyboardWindow()
{
    if (QWidget *popup = QApplication::activePopupWidget())
        return popup->windowHandle();
    return QGuiApplication::focusWindow();
}

bool Send(Qt::Key key, const QString &text, Qt::KeyboardModifiers modifiers)
{
    QPointer<QWindow> window = KeyboardWindow();
    if (!window) {
        ADD_FAILURE() << "no window of this program has the keyboard";
        return false;
    }
    QTest::sendKeyEvent(QTest::Click, window.data(), key, text, modifiers);
    return true;
}

QStringList ShownEntries(QMenu &menu, bool withKeys)
{
    QStringList shown;
    for (QAction *action : menu.actions()) {
        // The menu gives no room to what it does not draw: hidden items and the
        // dividers it folds away.
        if (!action->isVisible() || menu.actionGeometry(action).isEmpty())
            continue;
        const QString caption = WithoutMnemonic(action->text());
        if (action->isSeparator()) {
            shown << (caption.isEmpty() ? QStringLiteral("---") : QStringLiteral("--- ") + caption);
            continue;
        }
        QString entry = caption;
        if (withKeys) {
            // The menu draws the key as the platform writes it.
            const QString key = action->shortcut().toString(QKeySequence::NativeText);
            if (!key.isEmpty())
                entry += QLatin1Char('\t') + key;
            if (!action->isEnabled())
                entry += QStringLiteral(" (greyed)");
        }
        shown << entry;
    }
    return shown;
}

} // namespace

bool Activate(QWidget &window)
{
    window.show();
    window.raise();
    window.activateWindow();
    if (!QTest::qWaitForWindowActive(&window)) {
        ADD_FAILURE() << "window " << window.objectName().toStdString() << " never became active";
        return false;
    }
    return true;
}

bool Press(QKeyCombination key)
{
    const Qt::Key code = key.key();
    QString text;
    // What the keyboard would produce as text: printable keys without Ctrl/Alt/Meta.
    const Qt::KeyboardModifiers modifiers = key.keyboardModifiers();
    if (!(modifiers & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier))) {
        const char ascii = QTest::keyToAscii(code);
        if (ascii)
            text = QString(QChar::fromLatin1(ascii));
    }
    return Send(code, text, modifiers);
}

bool Type(const QString &text)
{
    for (const QChar c : text) {
        bool sent = false;
        if (c == QLatin1Char('\n'))
            sent = Send(Qt::Key_Return, QStringLiteral("\r"), Qt::NoModifier);
        else if (c == QLatin1Char('\t'))
            sent = Send(Qt::Key_Tab, QStringLiteral("\t"), Qt::NoModifier);
        else if (c.unicode() < 0x80) {
            const Qt::Key key = QTest::asciiToKey(static_cast<char>(c.unicode()));
            // The characters a US keyboard gives with Shift held.
            const bool shifted =
                c.isUpper() || QStringLiteral("~!@#$%^&*()_+{}|:\"<>?").contains(c);
            sent = Send(key, QString(c), shifted ? Qt::ShiftModifier : Qt::NoModifier);
        } else {
            sent = Send(Qt::Key_unknown, QString(c), Qt::NoModifier);
        }
        if (!sent)
            return false;
    }
    return true;
}

QStringList ShownMenu(QMenu &menu)
{
    return ShownEntries(menu, false);
}

QStringList ShownMenuWithKeys(QMenu &menu)
{
    return ShownEntries(menu, true);
}

QMenu *MenuBarMenu(QWidget &window, const QString &caption)
{
    const QList<QMenuBar *> bars = window.findChildren<QMenuBar *>();
    for (QMenuBar *bar : bars) {
        for (QAction *entry : bar->actions()) {
            if (entry->isVisible() && entry->menu() && WithoutMnemonic(entry->text()) == caption)
                return entry->menu();
        }
    }
    ADD_FAILURE() << "no menu " << caption.toStdString() << " in the menu bar";
    return nullptr;
}

QString WithoutMnemonic(const QString &caption)
{
    QString plain;
    plain.reserve(caption.size());
    for (qsizetype i = 0; i < caption.size(); ++i) {
        if (caption[i] == QLatin1Char('&') && i + 1 < caption.size())
            ++i;
        plain += caption[i];
    }
    return plain;
}

QString DisplayedText(const QLabel &label)
{
    const QString text = label.text();
    Qt::TextFormat format = label.textFormat();
    if (format == Qt::AutoText)
        format = Qt::mightBeRichText(text) ? Qt::RichText : Qt::PlainText;
    if (format == Qt::PlainText)
        return text;
    QTextDocument document;
    if (format == Qt::MarkdownText)
        document.setMarkdown(text);
    else
        document.setHtml(text);
    return document.toPlainText();
}

} // namespace asperson
