#pragma once
// The status bar panel that tells how many characters of the active document a save would
// lose, and when its text is past the length a config file holds. Clicking it, or F8
// anywhere in the frame, moves the caret to the next such character.

#include <QLabel>
#include <QPointer>

class frmDocument;
class QMdiArea;

class LossPanel : public QLabel
{
    Q_OBJECT

public:
    // Follows the active window of `area`; the F8 key is added to `frame`.
    LossPanel(QMdiArea *area, QWidget *frame, QWidget *parent = nullptr);

protected:
    void mousePressEvent(QMouseEvent *event) override;

private:
    void Follow();
    void Show(const QString &status);
    void GoToNext();

    QMdiArea *m_area;
    QPointer<frmDocument> m_document;
    QMetaObject::Connection m_status;
    QMetaObject::Connection m_gone;
};
