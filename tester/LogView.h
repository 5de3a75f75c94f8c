#pragma once
// The tester's log as a text box that holds its text in LogLines and lays out only the
// lines in view. A QPlainTextEdit keeps every line it ever showed laid out and its text
// as UTF-16 in a document, several times the text; a list view would hold the text
// compactly but selects whole entries, where the log's user selects, copies and types
// text like in any text box. So the box is a scroll area of its own: its bar counts lines
// (a line taller than the view scrolls by rows within it), it wraps each line at the
// width of the view, and it takes typing, selection, the clipboard and the keys of a
// plain text box.

#include "LogLines.h"

#include <QAbstractScrollArea>
#include <QBasicTimer>
#include <QElapsedTimer>
#include <QPoint>
#include <QString>
#include <QStringView>

#include <map>
#include <memory>

class QMenu;
class QTextLayout;

class LogView : public QAbstractScrollArea
{
    Q_OBJECT

public:
    explicit LogView(QWidget *parent = nullptr);
    ~LogView() override;

    // Adds `text` after everything, then puts the caret at the end with nothing selected,
    // which scrolls the last line into view.
    void Append(QStringView text);
    // The text exactly as written and typed.
    QString Text() const;

    std::size_t LineCount() const { return m_lines.LineCount(); }
    QString LineText(std::size_t line) const;
    std::size_t LineLength(std::size_t line) const { return m_lines.LineLength(line); }
    // The length of the text with each line break counted as one character.
    std::size_t PlainLength() const { return m_plainLength; }
    tester::LogPosition Anchor() const { return m_anchor; }
    // The text from `from` to `to`, each line break as "\n".
    QString PlainText(tester::LogPosition from, tester::LogPosition to) const;
    tester::LogPosition Caret() const { return m_caret; }
    tester::LogPosition End() const { return m_lines.End(); }
    void SetCaret(tester::LogPosition caret, bool select = false);
    bool HasSelection() const { return m_anchor != m_caret; }
    // The selection as plain text, each line break as "\n".
    QString SelectedText() const;
    // The first line in view.
    std::size_t TopLine();

    void Copy() const;
    void Cut();
    void Paste();
    void DeleteSelection();
    // Puts `text` in place of the selection, or at the caret, as typing does.
    void ReplaceSelection(QStringView text);
    void SelectAll();

    // Cut, Copy, Paste, Delete and Select All, each enabled as it applies; the caller
    // owns the menu.
    QMenu *CreateStandardContextMenu();

protected:
    bool event(QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void scrollContentsBy(int dx, int dy) override;
    void wheelEvent(QWheelEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void inputMethodEvent(QInputMethodEvent *event) override;
    QVariant inputMethodQuery(Qt::InputMethodQuery query) const override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    void timerEvent(QTimerEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    const QTextLayout &LayoutOf(std::size_t line) const;
    qreal RowHeight() const;
    qreal LineHeight(std::size_t line) const;
    // The scroll bar's range and the caret in view, worked out when next needed rather
    // than after every entry. While `painting`, the view is being drawn as settled.
    void Settle(bool painting = false);
    std::size_t TopForBottom(std::size_t line) const;

public:
    // The place in the log under `point`, in viewport coordinates.
    tester::LogPosition PositionAt(QPoint point);
    // Where the caret is drawn, in viewport coordinates; empty when out of view.
    QRect CaretRect();

private:
    void Insert(QStringView text);
    void Edited();
    void MoveCaret(QKeyEvent *event);
    tester::LogPosition Vertical(tester::LogPosition from, int rows);
    void CaretMoved();
    void ForgetLayouts() const;
    void OfferSelection() const;
    static std::size_t PlainLengthOf(QStringView text);

    tester::LogLines m_lines;
    tester::LogPosition m_caret;
    tester::LogPosition m_anchor;
    std::size_t m_plainLength = 0;
    int m_topRow = 0;   // rows of the first line in view scrolled above the view
    qreal m_goalX = -1; // where Up and Down aim, kept across short lines
    bool m_rangeStale = true;
    bool m_showCaret = false; // the caret asked into view
    bool m_followEnd = true;  // the view shows the end and keeps to it as the log grows
    bool m_caretOn = false;   // the caret's blink phase
    QBasicTimer m_blink;
    // The last double-click, so that a third click soon after on the same spot takes the line.
    QElapsedTimer m_doubleClicked;
    QPoint m_doubleClickedAt;
    bool m_lineTaken = false; // by a third click; the drag that follows leaves it be
    // The layouts of the lines lately in view; the rest are made again when they come back.
    struct Laid
    {
        std::unique_ptr<QTextLayout> layout;
        qreal width = -1; // the width its rows were broken at
    };
    mutable std::map<std::size_t, Laid> m_layouts;
};
