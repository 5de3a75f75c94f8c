#pragma once

#include <QLabel>

#include <functional>

class AfterRepaint;

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
    // Where ShowSoon reads the text to show.
    void SetSource(std::function<QString()> source) { m_source = std::move(source); }
    // Shows the source's text once the window has drawn the change that moved the caret,
    // in an update of its own: a keystroke's text reaches the screen without waiting for
    // the status bar, and a burst of keys handled in one go is shown once.
    void ShowSoon();

protected:
    void changeEvent(QEvent *event) override;

private:
    std::function<QString()> m_source;
    AfterRepaint *m_soon;
    // Measuring a text costs more than drawing it, so only a text longer than every one
    // before it is measured.
    qsizetype m_measured = -1;
};
