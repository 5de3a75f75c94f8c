#pragma once
// The text box both programs use: a QPlainTextEdit that takes and gives nothing but plain
// text, and that no clipboard content can bring down.

#include <QKeySequence>
#include <QList>
#include <QPlainTextEdit>

#include <functional>
#include <utility>

class PlainTextBox : public QPlainTextEdit
{
    Q_OBJECT

public:
    explicit PlainTextBox(QWidget *parent = nullptr);

    // The keys that redo, the one to show first: the same in the box, its context menu and
    // a window's Redo command, where the platform's own keys for it differ from one
    // another and from the key people know from other editors.
    static QList<QKeySequence> RedoKeys();

    // The selection as plain text, each line break as "\n".
    QString SelectedPlainText() const;

    // Drawn over the text each time the box paints it, such as marks on some of its
    // characters; `exposed` is the part of the viewport being painted.
    using Overlay = std::function<void(QPainter &painter, const QRegion &exposed)>;
    void SetOverlay(Overlay overlay);

    // Where `length` characters from box position `position` are drawn, in viewport
    // coordinates (no wider than their advance, which may be none); a null rectangle when
    // they don't share a line, or when their line lies outside `within` (which spares
    // working out where on the line they are).
    QRectF CharacterRect(int position, int length, const QRegion *within = nullptr) const;
    // The whole width of the viewport along the line that holds box position `position`;
    // empty when that line isn't laid out.
    QRect LineRect(int position) const;
    // The box positions from the start of the first line in view to the end of the last.
    std::pair<int, int> VisibleRange() const;

protected:
    void paintEvent(QPaintEvent *event) override;
    bool event(QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;
    bool canInsertFromMimeData(const QMimeData *source) const override;
    void insertFromMimeData(const QMimeData *source) override;
    QMimeData *createMimeDataFromSelection() const override;

private:
    Overlay m_overlay;
};
