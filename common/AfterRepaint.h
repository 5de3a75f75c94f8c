#pragma once

#include <QObject>

#include <functional>

// A step that follows once the window has drawn what is pending: it is posted below the
// priority of the window's own update, so that a keystroke's edit reaches the screen
// first, and however often it is asked for before it runs, it runs once.
class AfterRepaint : public QObject
{
public:
    AfterRepaint(std::function<void()> step, QObject *parent);

    void Ask();
    // Asked for and not run since.
    bool Due() const { return m_due; }
    // Takes the request back: its owner has just done the step itself.
    void Drop() { m_due = false; }

protected:
    void customEvent(QEvent *event) override;

private:
    std::function<void()> m_step;
    bool m_due = false;
    bool m_posted = false;
};
