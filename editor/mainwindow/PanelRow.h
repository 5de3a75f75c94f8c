#pragma once

#include <QWidget>

class QHBoxLayout;

// Status-bar panels laid out in a row of their own, out of the bar's layout. A panel shown,
// hidden or given a text of another length makes the layout it sits in lay out again and
// then tell the widget above it; in the bar that goes on up to the frame, which lays out
// its menu bar, tool bar, documents and bar again (and on X hands the window manager its
// size hints again) at every keystroke that changes such a panel. Here the row's layout
// stops at this holder, which has no layout and keeps the row over its whole area. To
// the bar it is one panel that takes the room the others leave, as a stretched panel
// whose width the bar ignores does.
class PanelRow : public QWidget
{
    Q_OBJECT

public:
    explicit PanelRow(QWidget *parent = nullptr);

    // Adds `panel` at the row's end; `stretch` as in QBoxLayout::addWidget.
    void Add(QWidget *panel, int stretch = 0);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    bool event(QEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    QWidget *m_row;
    QHBoxLayout *m_layout;
    mutable int m_height = -1; // the row's height as the bar last asked for it
};
