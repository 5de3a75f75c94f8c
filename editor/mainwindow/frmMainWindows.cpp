// The Window menu: its list of open documents and the four arrangements.

#include "FrameLayout.h"
#include "frmMain.h"

#include <QAction>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QPointer>

namespace {

QList<QMdiSubWindow *> OpenWindows(const QMdiArea &area)
{
    QList<QMdiSubWindow *> open;
    // A closed window can outlive its close until its deferred deletion.
    for (QMdiSubWindow *window : area.subWindowList(QMdiArea::CreationOrder))
        if (!window->isHidden())
            open.append(window);
    return open;
}

} // namespace

void frmMain::RefreshWindowMenu()
{
    qDeleteAll(m_windowListItems);
    m_windowListItems.clear();

    const QList<QMdiSubWindow *> windows = OpenWindows(*m_mdiArea);
    if (windows.isEmpty())
        return;
    m_windowListItems.append(m_windowMenu->addSeparator());
    QMdiSubWindow *current = m_mdiArea->currentSubWindow();
    int number = 0;
    for (QMdiSubWindow *window : windows) {
        ++number;
        QString caption = window->windowTitle();
        caption.replace(QStringLiteral("[*]"),
                        window->isWindowModified() ? QStringLiteral("*") : QString());
        caption.replace(QLatin1Char('&'), QStringLiteral("&&"));
        const QString text = number < 10 ? QStringLiteral("&%1 %2").arg(number).arg(caption)
                                         : QStringLiteral("%1 %2").arg(number).arg(caption);
        QAction *item = m_windowMenu->addAction(text);
        item->setCheckable(true);
        item->setChecked(window == current);
        QPointer<QMdiSubWindow> target(window);
        connect(item, &QAction::triggered, this, [this, target] {
            if (target)
                m_mdiArea->setActiveSubWindow(target);
        });
        m_windowListItems.append(item);
    }
}

void frmMain::Arrange(int code)
{
    const QList<QMdiSubWindow *> windows = OpenWindows(*m_mdiArea);
    const QRect area = m_mdiArea->viewport()->rect();
    switch (code) {
    case Cascade:
        m_mdiArea->cascadeSubWindows();
        return;
    case TileHorizontal:
    case TileVertical: {
        // QMdiArea::tileSubWindows makes a grid whatever is asked; the two directions are
        // laid out here. Minimised windows stay where they are, as icons.
        QList<QMdiSubWindow *> tiled;
        for (QMdiSubWindow *window : windows)
            if (!window->isMinimized())
                tiled.append(window);
        const auto boxes =
            framelayout::TileBoxes(static_cast<int>(tiled.size()), area.width(), area.height(),
                                   code == TileHorizontal ? framelayout::Tiling::Horizontal
                                                          : framelayout::Tiling::Vertical);
        for (qsizetype i = 0; i < tiled.size(); ++i) {
            const framelayout::Box &box = boxes[static_cast<std::size_t>(i)];
            if (tiled[i]->isMaximized())
                tiled[i]->showNormal();
            tiled[i]->setGeometry(box.x, box.y, box.width, box.height);
        }
        return;
    }
    case ArrangeIcons: {
        QList<QMdiSubWindow *> icons;
        QSize cell(1, 1);
        for (QMdiSubWindow *window : windows) {
            if (window->isMinimized()) {
                icons.append(window);
                cell = cell.expandedTo(window->size());
            }
        }
        const auto boxes = framelayout::IconBoxes(static_cast<int>(icons.size()), cell.width(),
                                                  cell.height(), area.width(), area.height());
        for (qsizetype i = 0; i < icons.size(); ++i) {
            const framelayout::Box &box = boxes[static_cast<std::size_t>(i)];
            icons[i]->move(box.x, box.y);
        }
        return;
    }
    default:
        return;
    }
}
