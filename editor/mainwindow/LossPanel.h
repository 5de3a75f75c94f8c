#pragma once
// The status bar panel that tells how many characters of the active document a save would
// lose, and when its text is past the length a config file holds. Clicking it, or the
// frame's command for it (F8), moves the caret to the next such character.

#include <QLabel>
#include <QPointer>

#include <array>
#include <cstddef>

class AfterRepaint;
class frmDocument;
class QAction;
class QMdiArea;

class LossPanel : public QLabel
{
    Q_OBJECT

public:
    // Follows the active window of `area`. `next` is the frame's command that goes to the
    // next such character: it does so here, and is enabled only while there is one.
    LossPanel(QMdiArea *area, QAction *next, QWidget *parent = nullptr);

    // No wider than the bar can spare: a long status (a text past the length limit) would
    // otherwise widen the frame with it.
    QSize minimumSizeHint() const override;
    QSize sizeHint() const override;

protected:
    void changeEvent(QEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;

private:
    void Follow();
    void Show(const QString &status);
    void ShowNow();
    void GoToNext();

    QMdiArea *m_area;
    QAction *m_next;
    QPointer<frmDocument> m_document;
    QMetaObject::Connection m_status;
    QMetaObject::Connection m_gone;
    QString m_shown;      // the status the panel is to show
    AfterRepaint *m_soon; // that shows it
    // The label's own size hints for the last few texts it showed. Measuring a text costs
    // more than the rest of a keystroke, and the panel goes back and forth between a few
    // texts as keys take the text across the limit and back, or a mark comes and goes.
    struct Hints
    {
        QString text;
        QSize size;
        int minimumHeight = 0;
    };
    const Hints &HintsForText() const;
    mutable std::array<Hints, 4> m_hints;
    mutable std::size_t m_nextHints = 0; // the entry to take next
};
