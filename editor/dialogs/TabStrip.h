#pragma once

#include <QTabBar>

// A tab bar that also draws the framed page below its tabs, so that one widget stands for
// the whole tab strip and its pages can be plain panels laid over it. (QTabWidget would
// own the pages and their switching, and take Ctrl+Tab for itself.)
class TabStrip : public QTabBar
{
    Q_OBJECT

public:
    explicit TabStrip(QWidget *parent = nullptr);

protected:
    void paintEvent(QPaintEvent *event) override;
};
