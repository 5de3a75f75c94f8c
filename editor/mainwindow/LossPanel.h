#pragma once
// The status bar panel that tells how many characters of the active document a save would
// lose, and when its text is past the length a config file holds. Clicking it, or the
// frame's command for it (F8), moves the caret to the next such character.

#include <QLabel>
#include <QPointer>

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

protected:
    void customEvent(QEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;

private:
    void Follow();
    void Show(const QString &status);
    void GoToNext();

    QMdiArea *m_area;
    QAction *m_next;
    QPointer<frmDocument> m_document;
    QMetaObject::Connection m_status;
    QMetaObject::Connection m_gone;
    QString m_shown;        // the status the panel is to show
    bool m_showing = false; // that is on its way
};
