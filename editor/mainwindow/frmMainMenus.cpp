// The frame's menu bar, toolbar and status bar, built from one table each so that every
// item has its name, caption, shortcut and check state in one place.

#include "ClockPanel.h"
#include "LossPanel.h"
#include "ProgramIcon.h"
#include "StatusPanel.h"
#include "frmMain.h"

#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>
#include <QToolBar>

namespace {

struct MenuItem
{
    const char *name;
    const char *caption; // "-" is a separator line, drawn without any text
    const char *shortcut = nullptr;
    bool checked = false;
    bool hidden = false;
};

struct MenuTable
{
    const char *name;
    const char *caption;
    std::initializer_list<MenuItem> items;
};

// clang-format off
const MenuTable Menus[] = {
    {"mnuFile", "&File", {
        {"mnuFileNew", "&New", "Ctrl+N"},
        {"mnuFileOpen", "&Open...", "Ctrl+O"},
        {"mnuFileClose", "&Close"},
        {"mnuFileBar0", "-"},
        {"mnuFileSave", "&Save"},
        {"mnuFileSaveAs", "Save &As..."},
        {"mnuFileSaveAll", "Save A&ll"},
        {"mnuFileBar1", "-"},
        {"mnuFileProperties", "Propert&ies"},
        {"mnuFileBar2", "-"},
        {"mnuFilePageSetup", "Page Set&up..."},
        {"mnuFilePrintPreview", "Print Pre&view"},
        {"mnuFilePrint", "&Print..."},
        {"mnuFileBar3", "-"},
        {"mnuFileSend", "Sen&d..."},
        {"mnuFileBar4", "-"},
        {"mnuFileMRU1", "", nullptr, false, true},
        {"mnuFileMRU2", "", nullptr, false, true},
        {"mnuFileMRU3", "", nullptr, false, true},
        {"mnuFileBar5", "-", nullptr, false, true},
        {"mnuFileExit", "E&xit"},
    }},
    {"mnuEdit", "&Edit", {
        {"mnuEditUndo", "&Undo", "Ctrl+Z"},
        {"mnuEditRedo", "Re&do", "Ctrl+Y"},
        {"mnuEditBar0", "-"},
        {"mnuEditCut", "Cu&t", "Ctrl+X"},
        {"mnuEditCopy", "&Copy", "Ctrl+C"},
        {"mnuEditPaste", "&Paste", "Ctrl+V"},
        {"mnuEditPasteSpecial", "Paste &Special..."},
        {"mnuEditBar1", "-"},
        {"mnuEditFind", "&Find...", "Ctrl+F"},
        {"mnuEditFindNext", "Find &Next", "F3"},
        {"mnuEditFindPrevious", "Find Pre&vious", "Shift+F3"},
        {"mnuEditReplace", "&Replace...", "Ctrl+H"},
        {"mnuEditGoTo", "&Go To...", "Ctrl+G"},
        {"mnuEditNextLoss", "Next Character That &Will Not Survive", "F8"},
        {"mnuEditBar2", "-"},
        {"mnuEditSelectAll", "Select &All", "Ctrl+A"},
    }},
    {"mnuView", "&View", {
        {"mnuViewToolbar", "&Toolbar", nullptr, true},
        {"mnuViewStatusBar", "Status &Bar", nullptr, true},
        {"mnuViewBar0", "-"},
        {"mnuViewRefresh", "&Refresh", "F5"},
        {"mnuViewOptions", "&Options..."},
        {"mnuViewWebBrowser", "&Web Browser"},
    }},
    {"mnuTools", "&Tools", {
        {"mnuToolsOptions", "&Options..."},
    }},
    {"mnuWindow", "&Window", {
        {"mnuWindowNewWindow", "&New Window"},
        {"mnuWindowBar0", "-"},
        {"mnuWindowCascade", "&Cascade"},
        {"mnuWindowTileHorizontal", "Tile &Horizontal"},
        {"mnuWindowTileVertical", "Tile &Vertical"},
        {"mnuWindowArrangeIcons", "&Arrange Icons"},
    }},
    {"mnuHelp", "&Help", {
        {"mnuHelpContents", "&Contents", "F1"},
        {"mnuHelpSearchForHelpOn", "&Search For Help On..."},
        {"mnuHelpBar0", "-"},
        {"mnuHelpAbout", "&About "},
    }},
};
// clang-format on

// Toolbar keys in button order; an empty key is a separator.
const char *const ToolbarKeys[] = {"New", "Open", "Save", "", "Print", "", "Cut", "Copy", "Paste"};

// The desktop theme's picture for each key, with our own as the fallback.
QIcon ToolbarIcon(const QString &key)
{
    static const QHash<QString, QString> themeNames = {
        {QStringLiteral("New"), QStringLiteral("document-new")},
        {QStringLiteral("Open"), QStringLiteral("document-open")},
        {QStringLiteral("Save"), QStringLiteral("document-save")},
        {QStringLiteral("Print"), QStringLiteral("document-print")},
        {QStringLiteral("Cut"), QStringLiteral("edit-cut")},
        {QStringLiteral("Copy"), QStringLiteral("edit-copy")},
        {QStringLiteral("Paste"), QStringLiteral("edit-paste")},
    };
    // Drawn for 1x, 1.5x and 2x, so that no scale shows a 16-pixel picture enlarged.
    QStringList sizes;
    for (const int size : {16, 24, 32})
        sizes << QStringLiteral(":/quillon/icons/%1/%2.png").arg(size).arg(key);
    const QIcon own = PngIcon(sizes);
    if (!HasIconTheme())
        return own;
    return QIcon::fromTheme(themeNames.value(key), own);
}

// Shows a divider only where it parts two groups of shown items, and the menu itself
// only while it has an item to show. Run whenever an item is shown or hidden, so the
// rule holds for any set of hidden items, also where the menus are drawn by the desktop
// rather than by QMenu (which folds dividers on its own).
void TidyMenu(QMenu &menu)
{
    QAction *pending = nullptr; // the divider after the last shown item, if any
    bool itemBefore = false;
    for (QAction *action : menu.actions()) {
        if (action->isSeparator()) {
            action->setVisible(false);
            if (itemBefore && !pending)
                pending = action;
        } else if (action->isVisible()) {
            if (pending)
                pending->setVisible(true);
            pending = nullptr;
            itemBefore = true;
        }
    }
    menu.menuAction()->setVisible(itemBefore);
}

} // namespace

void frmMain::BuildActions()
{
    for (const MenuTable &menu : Menus) {
        for (const MenuItem &item : menu.items) {
            const bool separator = qstrcmp(item.caption, "-") == 0;
            // A separator's text would turn it into a titled section.
            auto *action =
                new QAction(separator ? QString() : QString::fromUtf8(item.caption), this);
            action->setObjectName(QString::fromUtf8(item.name));
            action->setSeparator(separator);
            if (item.shortcut)
                action->setShortcut(QKeySequence(QString::fromUtf8(item.shortcut)));
            if (item.checked) {
                action->setCheckable(true);
                action->setChecked(true);
            }
            action->setVisible(!item.hidden);
            m_items.insert(action->objectName(), action);
        }
    }
}

QAction *frmMain::Item(const char *name) const
{
    return m_items.value(QString::fromUtf8(name));
}

void frmMain::BuildMenus()
{
    for (const MenuTable &table : Menus) {
        auto *menu = menuBar()->addMenu(QString::fromUtf8(table.caption));
        menu->setObjectName(QString::fromUtf8(table.name));
        menu->menuAction()->setObjectName(QString::fromUtf8(table.name));
        menu->setSeparatorsCollapsible(true);
        for (const MenuItem &item : table.items) {
            QAction *action = Item(item.name);
            menu->addAction(action);
            if (!action->isSeparator())
                connect(action, &QAction::visibleChanged, menu, [menu] { TidyMenu(*menu); });
        }
        TidyMenu(*menu);
    }
    m_windowMenu = findChild<QMenu *>(QStringLiteral("mnuWindow"));
    connect(m_windowMenu, &QMenu::aboutToShow, this, &frmMain::RefreshWindowMenu);
}

void frmMain::BuildToolBar()
{
    m_toolBar = new QToolBar(this);
    m_toolBar->setObjectName(QStringLiteral("tbToolBar"));
    m_toolBar->setIconSize(QSize(16, 16));
    m_toolBar->setMovable(false);
    addToolBar(Qt::TopToolBarArea, m_toolBar);
    for (const char *key : ToolbarKeys) {
        if (!*key) {
            m_toolBar->addSeparator();
            continue;
        }
        const QString name = QString::fromUtf8(key);
        QAction *button = m_toolBar->addAction(ToolbarIcon(name), name);
        button->setObjectName(QStringLiteral("tbToolBar") + name);
        button->setToolTip(name);
        button->setData(name);
    }
}

void frmMain::BuildStatusBar()
{
    auto *bar = new QStatusBar(this);
    bar->setObjectName(QStringLiteral("sbStatusBar"));
    setStatusBar(bar);
    m_statusPanel = new StatusPanel(QStringLiteral("Status"), bar);
    m_statusPanel->setObjectName(QStringLiteral("sbStatusBarStatus"));
    bar->addWidget(m_statusPanel, 1);
    bar->addWidget(new LossPanel(m_mdiArea, Item("mnuEditNextLoss"), bar));
    m_caretPanel = new QLabel(bar);
    m_caretPanel->setObjectName(QStringLiteral("sbStatusBarCaret"));
    bar->addPermanentWidget(m_caretPanel);
    auto *date = new ClockPanel(ClockPanel::Shows::Date, bar);
    date->setObjectName(QStringLiteral("sbStatusBarDate"));
    bar->addPermanentWidget(date);
    auto *time = new ClockPanel(ClockPanel::Shows::Time, bar);
    time->setObjectName(QStringLiteral("sbStatusBarTime"));
    bar->addPermanentWidget(time);
}
