// The Window menu: its list of open documents and the four arrangements.

#include "FrameLayout.h"
#include "Modal.h"
#include "frmMain.h"

#include <QAction>
#include <QDialog>
#include <QDialogButtonBox>
#include <QLabel>
#include <QListWidget>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QPointer>
#include <QVBoxLayout>

#include <algorithm>

namespace {

// As many documents as the menu lists by number, each with its access key.
constexpr qsizetype MenuWindows = 9;

// A window's caption as the menu shows it, with the changed mark in place.
QString MenuCaption(const QMdiSubWindow &window)
{
    QString caption = window.windowTitle();
    caption.replace(QStringLiteral("[*]"),
                    window.isWindowModified() ? QStringLiteral("*") : QString());
    return caption;
}

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
    // Hundreds of items would make a menu taller than the screen and slow to open; the
    // rest are one choice away under More Windows. The document in front is always listed.
    QList<QMdiSubWindow *> listed = windows.first(std::min(windows.size(), MenuWindows));
    if (current && windows.size() > MenuWindows && !listed.contains(current))
        listed.last() = current;
    int number = 0;
    for (QMdiSubWindow *window : listed) {
        ++number;
        QAction *item = m_windowMenu->addAction(QStringLiteral("&%1 %2").arg(number).arg(
            MenuCaption(*window).replace(QLatin1Char('&'), QStringLiteral("&&"))));
        item->setCheckable(true);
        item->setChecked(window == current);
        QPointer<QMdiSubWindow> target(window);
        connect(item, &QAction::triggered, this, [this, target] {
            if (target)
                m_mdiArea->setActiveSubWindow(target);
        });
        m_windowListItems.append(item);
    }
    if (windows.size() <= MenuWindows)
        return;
    QAction *more = m_windowMenu->addAction(tr("&More Windows..."));
    more->setObjectName(QStringLiteral("mnuWindowMore"));
    connect(more, &QAction::triggered, this, &frmMain::mnuWindowMore_Click);
    m_windowListItems.append(more);
}

void frmMain::mnuWindowMore_Click()
{
    const QList<QMdiSubWindow *> windows = OpenWindows(*m_mdiArea);
    QDialog dialog(this);
    dialog.setObjectName(QStringLiteral("frmSelectWindow"));
    dialog.setWindowTitle(tr("Select Window"));
    auto *list = new QListWidget(&dialog);
    list->setObjectName(QStringLiteral("lstWindows"));
    for (QMdiSubWindow *window : windows)
        list->addItem(MenuCaption(*window));
    list->setCurrentRow(static_cast<int>(windows.indexOf(m_mdiArea->currentSubWindow())));
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    connect(list, &QListWidget::itemActivated, &dialog, &QDialog::accept);
    auto *column = new QVBoxLayout(&dialog);
    column->addWidget(new QLabel(tr("&Select window:"), &dialog));
    column->addWidget(list);
    column->addWidget(buttons);
    qobject_cast<QLabel *>(column->itemAt(0)->widget())->setBuddy(list);

    const QPointer<QMdiArea> area(m_mdiArea);
    if (m_modal.ShowDialog(dialog) != QDialog::Accepted || !area)
        return;
    // The list as it was shown: a window closed meanwhile is not activated.
    const int row = list->currentRow();
    const QList<QMdiSubWindow *> now = OpenWindows(*m_mdiArea);
    if (row >= 0 && row < windows.size() && now.contains(windows[row]))
        m_mdiArea->setActiveSubWindow(windows[row]);
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
