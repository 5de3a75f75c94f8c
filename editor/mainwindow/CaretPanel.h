#pragma once

#include <QLabel>

// The status-bar panel that shows where the caret is. It keeps a fixed size, for a label
// whose size may change makes the status bar lay out and repaint every panel each time
// its text changes, which is at every keystroke; this one repaints itself alone. It grows
// when a text needs more room and does not shrink, so the panels beside it stay put.
class CaretPanel : public QLabel
{
    Q_OBJECT

public:
    explicit CaretPanel(QWidget *parent = nullptr);

    void Show(const QString &text);

protected:
    void changeEvent(QEvent *event) override;

private:
    // Measuring a text costs more than drawing it, so only a text longer than every one
    // before it is measured.
    qsizetype m_measured = -1;
};
