#include "AsPerson.h"

#include <QAction>
#include <QApplication>
#include <QGlyphRun>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPointer>
#include <QRawFont>
#include <QScreen>
#include <QTest>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextLayout>
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

QList<QWidget *> TabRound(QWidget &window, int limit)
{
    QList<QWidget *> visited;
    QWidget *start = QApplication::focusWidget();
    for (QWidget *now = start; now && window.isAncestorOf(now) && visited.size() < limit;) {
        visited << now;
        if (!Press(QKeyCombination(Qt::Key_Tab)))
            break;
        now = QApplication::focusWidget();
        if (now == start)
            break;
    }
    return visited;
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

std::vector<int> RedCharacters(QPlainTextEdit &box, std::vector<int> *inView)
{
    // The pixels as the screen shows them once the box has drawn what it was asked to: a
    // fresh rendering of the widget would hide a part the box failed to draw again.
    QCoreApplication::processEvents();
    QWidget *viewport = box.viewport();
    QWidget *top = viewport->window();
    const QPoint at = viewport->mapTo(top, QPoint(0, 0));
    const QImage image =
        top->screen()
            ->grabWindow(top->winId(), at.x(), at.y(), viewport->width(), viewport->height())
            .toImage();
    const QRect view = image.rect();
    std::vector<int> red;
    // From the line at the top of the view to the first one below it.
    for (QTextBlock block = box.cursorForPosition(QPoint(0, 0)).block();
         block.isValid() && box.cursorRect(QTextCursor(block)).top() <= view.bottom();
         block = block.next()) {
        const QString text = block.text();
        for (int i = 0, length = 1; i < text.size(); i += length) {
            length =
                text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()
                    ? 2
                    : 1;
            // A character's cell is where its glyphs are drawn; one without glyphs runs from
            // the caret before it to the caret after it.
            QTextCursor cursor(block);
            cursor.setPosition(block.position() + i);
            const QRect before = box.cursorRect(cursor);
            cursor.setPosition(block.position() + i + length);
            const QRect after = box.cursorRect(cursor);
            if (before.top() != after.top())
                continue; // the end of a wrapped line
            int left = std::min(before.left(), after.left());
            int right = std::max(before.left(), after.left()) - 1;
            const QTextLine line = block.layout()->lineForTextPosition(i);
            qreal glyphLeft = 0;
            qreal glyphRight = -1;
            for (const QGlyphRun &run : line.glyphRuns(i, length)) {
                const QList<QPointF> at = run.positions();
                const QList<QPointF> advance =
                    run.rawFont().advancesForGlyphIndexes(run.glyphIndexes());
                for (qsizetype g = 0; g < at.size() && g < advance.size(); ++g) {
                    const qreal a = at[g].x();
                    const qreal b = a + advance[g].x();
                    glyphLeft =
                        glyphRight < glyphLeft ? std::min(a, b) : std::min({glyphLeft, a, b});
                    glyphRight = std::max({glyphRight, a, b});
                }
            }
            if (glyphRight > glyphLeft) {
                // The caret's place before the character tells where the line starts. Where
                // the glyphs stand apart from the carets (the direction changes there), the
                // glyphs tell the cell.
                const qreal lineStart = before.left() - line.cursorToX(i);
                const int glyphsFrom = qRound(lineStart + glyphLeft);
                const int glyphsTo = qRound(lineStart + glyphRight) - 1;
                if (std::abs(glyphsFrom - left) > 2 || std::abs(glyphsTo - right) > 2) {
                    left = glyphsFrom;
                    right = glyphsTo;
                }
            }
            // A character drawn with no width is looked for at its place, a pixel or two
            // either side.
            const QRect cell =
                (right < left
                     ? QRect(QPoint(left - 1, before.top()), QPoint(left + 1, before.bottom()))
                     : QRect(QPoint(left, before.top()), QPoint(right, before.bottom())))
                    .intersected(view);
            if (cell.isEmpty() || cell.height() < before.height())
                continue;
            if (inView)
                inView->push_back(block.position() + i);
            // The glyph covers part of the cell and may have coloured edges, and a mark next
            // door may reach a column in; a marked cell is tinted all over.
            int tinted = 0;
            for (int y = cell.top(); y <= cell.bottom(); ++y) {
                for (int x = cell.left(); x <= cell.right(); ++x) {
                    const QColor pixel = image.pixelColor(x, y);
                    tinted += pixel.red() - pixel.green() > 40 && pixel.red() - pixel.blue() > 40;
                }
            }
            if (tinted * 5 >= cell.width() * cell.height() * 2)
                red.push_back(block.position() + i);
        }
    }
    return red;
}

} // namespace asperson
