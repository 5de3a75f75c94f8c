// The frame's menu bar, toolbar and status bar, built from one table each so that every
// item has its name, caption, shortcut and check state in one place.

#include "AccessiblePanel.h"
#include "CaretPanel.h"
#include "ClockPanel.h"
#include "DeferredIcon.h"
#include "LossPanel.h"
#include "PanelRow.h"
#include "PlainTextBox.h"
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
    {"mnuFile", QT_TRANSLATE_NOOP("frmMain", "&File"), {
        {"mnuFileNew", QT_TRANSLATE_NOOP("frmMain", "&New"), "Ctrl+N"},
        {"mnuFileOpen", QT_TRANSLATE_NOOP("frmMain", "&Open..."), "Ctrl+O"},
        {"mnuFileClose", QT_TRANSLATE_NOOP("frmMain", "&Close")},
        {"mnuFileBar0", "-"},
        {"mnuFileSave", QT_TRANSLATE_NOOP("frmMain", "&Save")},
        {"mnuFileSaveAs", QT_TRANSLATE_NOOP("frmMain", "Save &As...")},
        {"mnuFileSaveAll", QT_TRANSLATE_NOOP("frmMain", "Save A&ll")},
        {"mnuFileBar1", "-"},
        {"mnuFileProperties", QT_TRANSLATE_NOOP("frmMain", "Propert&ies")},
        {"mnuFileBar2", "-"},
        {"mnuFilePageSetup", QT_TRANSLATE_NOOP("frmMain", "Page Set&up...")},
        {"mnuFilePrintPreview", QT_TRANSLATE_NOOP("frmMain", "Print Pre&view")},
        {"mnuFilePrint", QT_TRANSLATE_NOOP("frmMain", "&Print...")},
        {"mnuFileBar3", "-"},
        {"mnuFileSend", QT_TRANSLATE_NOOP("frmMain", "Sen&d...")},
        {"mnuFileBar4", "-"},
        {"mnuFileMRU1", "", nullptr, false, true},
        {"mnuFileMRU2", "", nullptr, false, true},
        {"mnuFileMRU3", "", nullptr, false, true},
        {"mnuFileBar5", "-", nullptr, false, true},
        {"mnuFileExit", QT_TRANSLATE_NOOP("frmMain", "E&xit")},
    }},
    {"mnuEdit", QT_TRANSLATE_NOOP("frmMain", "&Edit"), {
        {"mnuEditUndo", QT_TRANSLATE_NOOP("frmMain", "&Undo"), "Ctrl+Z"},
        {"mnuEditRedo", QT_TRANSLATE_NOOP("frmMain", "Re&do"), "Ctrl+Y"},
        {"mnuEditBar0", "-"},
        {"mnuEditCut", QT_TRANSLATE_NOOP("frmMain", "Cu&t"), "Ctrl+X"},
        {"mnuEditCopy", QT_TRANSLATE_NOOP("frmMain", "&Copy"), "Ctrl+C"},
        {"mnuEditPaste", QT_TRANSLATE_NOOP("frmMain", "&Paste"), "Ctrl+V"},
        {"mnuEditPasteSpecial", QT_TRANSLATE_NOOP("frmMain", "Paste &Special...")},
        {"mnuEditBar1", "-"},
        {"mnuEditFind", QT_TRANSLATE_NOOP("frmMain", "&Find..."), "Ctrl+F"},
        {"mnuEditFindNext", QT_TRANSLATE_NOOP("frmMain", "Find &Next"), "F3"},
        {"mnuEditFindPrevious", QT_TRANSLATE_NOOP("frmMain", "Find Pre&vious"), "Shift+F3"},
        {"mnuEditReplace", QT_TRANSLATE_NOOP("frmMain", "&Replace..."), "Ctrl+H"},
        {"mnuEditGoTo", QT_TRANSLATE_NOOP("frmMain", "&Go To..."), "Ctrl+G"},
        {"mnuEditNextLoss", QT_TRANSLATE_NOOP("frmMain", "Next Character That &Will Not Survive"), "F8"},
        {"mnuEditBar2", "-"},
        {"mnuEditSelectAll", QT_TRANSLATE_NOOP("frmMain", "Select &All"), "Ctrl+A"},
    }},
    {"mnuView", QT_TRANSLATE_NOOP("frmMain", "&View"), {
        {"mnuViewToolbar", QT_TRANSLATE_NOOP("frmMain", "&Toolbar"), nullptr, true},
        {"mnuViewStatusBar", QT_TRANSLATE_NOOP("frmMain", "Status &Bar"), nullptr, true},
        {"mnuViewBar0", "-"},
        {"mnuViewRefresh", QT_TRANSLATE_NOOP("frmMain", "&Refresh"), "F5"},
        {"mnuViewOptions", QT_TRANSLATE_NOOP("frmMain", "&Options...")},
        {"mnuViewWebBrowser", QT_TRANSLATE_NOOP("frmMain", "&Web Browser")},
    }},
    {"mnuTools", QT_TRANSLATE_NOOP("frmMain", "&Tools"), {
        {"mnuToolsOptions", QT_TRANSLATE_NOOP("frmMain", "&Options...")},
    }},
    {"mnuWindow", QT_TRANSLATE_NOOP("frmMain", "&Window"), {
        {"mnuWindowNewWindow", QT_TRANSLATE_NOOP("frmMain", "&New Window")},
        {"mnuWindowBar0", "-"},
        {"mnuWindowCascade", QT_TRANSLATE_NOOP("frmMain", "&Cascade")},
        {"mnuWindowTileHorizontal", QT_TRANSLATE_NOOP("frmMain", "Tile &Horizontal")},
        {"mnuWindowTileVertical", QT_TRANSLATE_NOOP("frmMain", "Tile &Vertical")},
        {"mnuWindowArrangeIcons", QT_TRANSLATE_NOOP("frmMain", "&Arrange Icons")},
    }},
    {"mnuHelp", QT_TRANSLATE_NOOP("frmMain", "&Help"), {
        {"mnuHelpContents", QT_TRANSLATE_NOOP("frmMain", "&Contents"), "F1"},
        {"mnuHelpSearchForHelpOn", QT_TRANSLATE_NOOP("frmMain", "&Search For Help On...")},
        {"mnuHelpBar0", "-"},
        {"mnuHelpAbout", QT_TRANSLATE_NOOP("frmMain", "&About ")},
        {"mnuHelpAboutQt", QT_TRANSLATE_NOOP("frmMain", "About &Qt")},
    }},
};
// clang-format on

// The platform's standard keys of the commands that have one. A command's menu shows its
// key from the table above, or else the key given here, the same on every platform so that
// the help guide can name it; the platform's own keys for it work as well. A key the table
// above gives one command is never taken by another.
struct CommandKeys
{
    const char *name;
    QKeySequence::StandardKey standard;
    const char *shown = nullptr;
};

const CommandKeys StandardKeys[] = {
    {"mnuFileNew", QKeySequence::New},
    {"mnuFileOpen", QKeySequence::Open},
    {"mnuFileClose", QKeySequence::Close, "Ctrl+W"},
    {"mnuFileSave", QKeySequence::Save, "Ctrl+S"},
    {"mnuFileSaveAs", QKeySequence::SaveAs, "Ctrl+Shift+S"},
    {"mnuFilePrint", QKeySequence::Print, "Ctrl+P"},
    {"mnuFileExit", QKeySequence::Quit, "Ctrl+Q"},
    {"mnuEditUndo", QKeySequence::Undo},
    {"mnuEditCut", QKeySequence::Cut},
    {"mnuEditCopy", QKeySequence::Copy},
    {"mnuEditPaste", QKeySequence::Paste},
    {"mnuEditFind", QKeySequence::Find},
    {"mnuEditFindNext", QKeySequence::FindNext},
    {"mnuEditFindPrevious", QKeySequence::FindPrevious},
    {"mnuEditReplace", QKeySequence::Replace},
    {"mnuEditSelectAll", QKeySequence::SelectAll},
    {"mnuViewRefresh", QKeySequence::Refresh},
    {"mnuHelpContents", QKeySequence::HelpContents},
};

// Toolbar keys in button order; an empty key is a separator.
// clang-format off
const char *const ToolbarKeys[] = {
    QT_TRANSLATE_NOOP("frmMain", "New"), QT_TRANSLATE_NOOP("frmMain", "Open"),
    QT_TRANSLATE_NOOP("frmMain", "Save"), "", QT_TRANSLATE_NOOP("frmMain", "Print"), "",
    QT_TRANSLATE_NOOP("frmMain", "Cut"), QT_TRANSLATE_NOOP("frmMain", "Copy"),
    QT_TRANSLATE_NOOP("frmMain", "Paste")};
// clang-format on

QIcon ToolbarPictures(const QString &key)
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

// The desktop theme's picture for each key, with our own as the fallback. Made as the
// toolbar first paints: reading the pictures (and the theme's index) before that would
// hold up the frame's first appearance for buttons laid out by their icon size alone.
QIcon ToolbarIcon(const QString &key)
{
    return DeferredIcon([key] { return ToolbarPictures(key); });
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
            auto *action = new QAction(separator ? QString() : tr(item.caption), this);
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
    AddStandardKeys();
}

void frmMain::AddStandardKeys()
{
    QList<QKeySequence> taken;
    for (const QAction *action : std::as_const(m_items))
        taken += action->shortcuts();
    const auto add = [&taken](QAction &action, const QList<QKeySequence> &keys) {
        QList<QKeySequence> own = action.shortcuts();
        for (const QKeySequence &key : keys) {
            if (!key.isEmpty() && !own.contains(key) && !taken.contains(key)) {
                own << key;
                taken << key;
            }
        }
        action.setShortcuts(own);
    };
    for (const CommandKeys &command : StandardKeys) {
        QAction &action = *Item(command.name);
        if (command.shown)
            add(action, {QKeySequence(QString::fromUtf8(command.shown))});
        add(action, QKeySequence::keyBindings(command.standard));
    }
    // Redo answers the same keys here as in the text box, whichever it shows.
    add(*Item("mnuEditRedo"), PlainTextBox::RedoKeys());
}

QAction *frmMain::Item(const char *name) const
{
    return m_items.value(QString::fromUtf8(name));
}

void frmMain::BuildMenus()
{
    for (const MenuTable &table : Menus) {
        auto *menu = menuBar()->addMenu(tr(table.caption));
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
    m_toolBar->setAccessibleName(tr("Toolbar"));
    addToolBar(Qt::TopToolBarArea, m_toolBar);
    for (const char *key : ToolbarKeys) {
        if (!*key) {
            m_toolBar->addSeparator();
            continue;
        }
        const QString name = QString::fromUtf8(key);
        QAction *button = m_toolBar->addAction(ToolbarIcon(name), tr(key));
        button->setObjectName(QStringLiteral("tbToolBar") + name);
        button->setToolTip(tr(key));
        button->setData(name);
    }
}

void frmMain::BuildStatusBar()
{
    auto *bar = new QStatusBar(this);
    bar->setObjectName(QStringLiteral("sbStatusBar"));
    bar->setAccessibleName(tr("Status bar"));
    setStatusBar(bar);
    // The message and the loss panels change as the user types; in a row of their own,
    // laying them out again does not lay out the whole frame.
    auto *row = new PanelRow(bar);
    m_statusPanel = new StatusPanel(tr("Status"), row);
    m_statusPanel->setObjectName(QStringLiteral("sbStatusBarStatus"));
    row->Add(m_statusPanel, 1);
    row->Add(new LossPanel(m_mdiArea, Item("mnuEditNextLoss"), row));
    bar->addWidget(row, 1);
    m_caretPanel = new CaretPanel(bar);
    m_caretPanel->setObjectName(QStringLiteral("sbStatusBarCaret"));
    m_caretPanel->SetSource([this] { return CaretText(); });
    // Empty while no document is open; a reader still hears what the panel is for.
    accessiblepanel::SetCaption(*m_caretPanel, tr("Caret"));
    bar->addPermanentWidget(m_caretPanel);
    auto *date = new ClockPanel(ClockPanel::Shows::Date, bar);
    date->setObjectName(QStringLiteral("sbStatusBarDate"));
    bar->addPermanentWidget(date);
    auto *time = new ClockPanel(ClockPanel::Shows::Time, bar);
    time->setObjectName(QStringLiteral("sbStatusBarTime"));
    bar->addPermanentWidget(time);
}
