#include "TabStrip.h"

#include <QStyleOptionTabWidgetFrame>
#include <QStylePainter>

TabStrip::TabStrip(QWidget *parent) : QTabBar(parent)
{
    setDrawBase(false);
    setExpanding(false);
}

void TabStrip::paintEvent(QPaintEvent *event)
{
    int tabsBottom = 0;
    for (int i = 0; i < count(); ++i)
        tabsBottom = qMax(tabsBottom, tabRect(i).bottom() + 1);
    if (tabsBottom < height()) {
        QStylePainter painter(this);
        QStyleOptionTabWidgetFrame frame;
        frame.initFrom(this);
        frame.rect = rect().adjusted(0, tabsBottom - 1, 0, 0);
        frame.shape = shape();
        frame.tabBarRect =
            QRect(0, 0, tabsBottom > 0 ? tabRect(count() - 1).right() + 1 : 0, tabsBottom);
        frame.selectedTabRect = tabRect(currentIndex());
        painter.drawPrimitive(QStyle::PE_FrameTabWidget, frame);
    }
    QTabBar::paintEvent(event);
}
