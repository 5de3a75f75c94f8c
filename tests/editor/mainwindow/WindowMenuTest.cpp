// The menu bar, the toolbar and the Window menu's list and arrangements.

#include "FrameFixture.h"
#include "frmDocument.h"

#include <QAction>
#include <QDialog>
#include <QListWidget>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QToolBar>

TEST_F(FrameTest, MenuBarHoldsEveryItemWithItsCaptionShortcutAndCheck)
{
    struct Expected
    {
        const char *name;
        const char *caption;
        const char *shortcut;
        bool checked;
    };
    const Expected items[] = {
        {"mnuFileNew", "&New", "Ctrl+N", false},
        {"mnuFileOpen", "&Open...", "Ctrl+O", false},
        {"mnuFileClose", "&Close", "Ctrl+W", false},
        {"mnuFileSave", "&Save", "Ctrl+S", false},
        {"mnuFileSaveAs", "Save &As...", "Ctrl+Shift+S", false},
        {"mnuFileSaveAll", "Save A&ll", "", false},
        {"mnuFileProperties", "Propert&ies", "", false},
        {"mnuFilePageSetup", "Page Set&up...", "", false},
        {"mnuFilePrintPreview", "Print Pre&view", "", false},
        {"mnuFilePrint", "&Print...", "Ctrl+P", false},
        {"mnuFileSend", "Sen&d...", "", false},
        {"mnuFileExit", "E&xit", "Ctrl+Q", false},
        {"mnuEditUndo", "&Undo", "Ctrl+Z", false},
        {"mnuEditRedo", "Re&do", "Ctrl+Y", false},
        {"mnuEditCut", "Cu&t", "Ctrl+X", false},
        {"mnuEditCopy", "&Copy", "Ctrl+C", false},
        {"mnuEditPaste", "&Paste", "Ctrl+V", false},
        {"mnuEditPasteSpecial", "Paste &Special...", "", false},
        {"mnuViewToolbar", "&Toolbar", "", true},
        {"mnuViewStatusBar", "Status &Bar", "", true},
        {"mnuViewRefresh", "&Refresh", "F5", false},
        {"mnuViewOptions", "&Options...", "", false},
        {"mnuViewWebBrowser", "&Web Browser", "", false},
        {"mnuToolsOptions", "&Options...", "", false},
        {"mnuWindowNewWindow", "&New Window", "", false},
        {"mnuWindowCascade", "&Cascade", "", false},
        {"mnuWindowTileHorizontal", "Tile &Horizontal", "", false},
        {"mnuWindowTileVertical", "Tile &Vertical", "", false},
        {"mnuWindowArrangeIcons", "&Arrange Icons", "", false},
        {"mnuHelpContents", "&Contents", "F1", false},
        {"mnuHelpSearchForHelpOn", "&Search For Help On...", "", false},
        {"mnuHelpAbout", "&About ", "", false},
        {"mnuHelpAboutQt", "About &Qt", "", false},
    };
    for (const Expected &e : items) {
        SCOPED_TRACE(e.name);
        QAction *item = Item(QString::fromUtf8(e.name));
        ASSERT_NE(item, nullptr);
        EXPECT_EQ(item->text(), QString::fromUtf8(e.caption));
        EXPECT_EQ(item->shortcut(), QKeySequence(QString::fromUtf8(e.shortcut)));
        EXPECT_EQ(item->isChecked(), e.checked);
    }
    for (const char *hidden : {"mnuFileMRU1", "mnuFileMRU2", "mnuFileMRU3", "mnuFileBar5"})
        EXPECT_FALSE(Item(QString::fromUtf8(hidden))->isVisible()) << hidden;
    EXPECT_TRUE(Item("mnuFileBar0")->isSeparator());

    QStringList menus;
    for (QAction *menu : Frame().menuBar()->actions())
        menus << menu->text();
    EXPECT_EQ(menus, (QStringList{"&File", "&Edit", "&View", "&Tools", "&Window", "&Help"}));
    auto *file = Frame().findChild<QMenu *>(QStringLiteral("mnuFile"));
    ASSERT_NE(file, nullptr);
    EXPECT_EQ(file->actions().size(), 21);
    EXPECT_EQ(file->actions().front()->objectName(), QStringLiteral("mnuFileNew"));
    EXPECT_EQ(file->actions().back()->objectName(), QStringLiteral("mnuFileExit"));
}

TEST_F(FrameTest, ToolbarHasItsNineButtonsInOrder)
{
    auto *toolbar = Frame().findChild<QToolBar *>(QStringLiteral("tbToolBar"));
    ASSERT_NE(toolbar, nullptr);
    QStringList keys;
    for (QAction *button : toolbar->actions()) {
        keys << (button->isSeparator() ? QStringLiteral("|") : button->data().toString());
        if (!button->isSeparator()) {
            EXPECT_EQ(button->toolTip(), button->data().toString());
            EXPECT_FALSE(button->icon().isNull()) << button->toolTip().toStdString();
            // Drawn for twice the scale too, not a 16-pixel picture enlarged.
            EXPECT_TRUE(button->icon().availableSizes().contains(QSize(32, 32)))
                << button->toolTip().toStdString();
        }
    }
    EXPECT_EQ(keys,
              (QStringList{"New", "Open", "Save", "|", "Print", "|", "Cut", "Copy", "Paste"}));
    // Our own pictures, for a desktop without an icon theme, at 1x, 1.5x and 2x.
    for (const char *key : {"New", "Open", "Save", "Print", "Cut", "Copy", "Paste"}) {
        for (const int size : {16, 24, 32}) {
            const QPixmap picture(QStringLiteral(":/quillon/icons/%1/%2.png").arg(size).arg(key));
            EXPECT_EQ(picture.size(), QSize(size, size)) << key;
        }
    }
}

TEST_F(FrameTest, WindowMenuListsOpenDocumentsAndActivatesTheChosenOne)
{
    Frame().show();
    Item("mnuWindowNewWindow")->trigger();
    Item("mnuWindowNewWindow")->trigger();
    Item("mnuWindowNewWindow")->trigger();
    frmDocument *third = Frame().ActiveDocument();
    ASSERT_TRUE(Frame().mdiArea()->subWindowList(QMdiArea::CreationOrder)[1]->close());
    Settle();

    auto *menu = Frame().findChild<QMenu *>(QStringLiteral("mnuWindow"));
    ASSERT_NE(menu, nullptr);
    for (int pass = 0; pass < 2; ++pass) { // rebuilt, not appended, each time it opens
        emit menu->aboutToShow();
        QStringList listed;
        QStringList checked;
        for (QAction *item : menu->actions()) {
            if (item->text().contains(QStringLiteral("Document "))) {
                listed << item->text();
                if (item->isChecked())
                    checked << item->text();
            }
        }
        EXPECT_EQ(listed, (QStringList{"&1 Document 1", "&2 Document 3"}));
        EXPECT_EQ(checked, QStringList{"&2 Document 3"});
    }
    for (QAction *item : menu->actions())
        if (item->text() == QStringLiteral("&1 Document 1"))
            item->trigger();
    ASSERT_NE(Frame().ActiveDocument(), nullptr);
    EXPECT_NE(Frame().ActiveDocument(), third);
    EXPECT_EQ(Frame().ActiveDocument()->windowTitle(), QStringLiteral("Document 1"));
}

TEST_F(FrameTest, TileCommandsLayOutBandsAndColumns)
{
    Frame().show();
    Item("mnuWindowArrangeIcons")->trigger(); // nothing open: nothing happens
    Item("mnuWindowTileHorizontal")->trigger();
    Item("mnuWindowNewWindow")->trigger();
    Item("mnuWindowNewWindow")->trigger();
    const auto windows = Frame().mdiArea()->subWindowList(QMdiArea::CreationOrder);
    const QRect area = Frame().mdiArea()->viewport()->rect();

    Item("mnuWindowTileHorizontal")->trigger();
    EXPECT_EQ(windows[0]->geometry(), QRect(0, 0, area.width(), area.height() / 2));
    EXPECT_EQ(windows[1]->geometry().top(), area.height() / 2);
    EXPECT_EQ(windows[1]->geometry().width(), area.width());

    Item("mnuWindowTileVertical")->trigger();
    EXPECT_EQ(windows[0]->geometry(), QRect(0, 0, area.width() / 2, area.height()));
    EXPECT_EQ(windows[1]->geometry().left(), area.width() / 2);
    EXPECT_EQ(windows[1]->geometry().height(), area.height());
}

TEST_F(FrameTest, ArrangeIconsLinesUpMinimisedDocumentsAlongTheBottom)
{
    Frame().show();
    for (int i = 0; i < 3; ++i)
        Item("mnuWindowNewWindow")->trigger();
    const auto windows = Frame().mdiArea()->subWindowList(QMdiArea::CreationOrder);
    windows[0]->showMinimized();
    windows[2]->showMinimized();
    windows[0]->move(200, 5);
    windows[2]->move(17, 40);

    Item("mnuWindowArrangeIcons")->trigger();
    const QRect area = Frame().mdiArea()->viewport()->rect();
    EXPECT_EQ(windows[0]->geometry().bottom(), area.bottom());
    EXPECT_EQ(windows[0]->x(), 0);
    EXPECT_EQ(windows[2]->geometry().bottom(), area.bottom());
    EXPECT_EQ(windows[2]->x(), windows[0]->width());
}

TEST_F(FrameTest, WindowMenuListsNineDocumentsAndTheRestUnderMoreWindows)
{
    Frame().show();
    for (int i = 0; i < 12; ++i)
        Item("mnuWindowNewWindow")->trigger();
    auto *menu = Frame().findChild<QMenu *>(QStringLiteral("mnuWindow"));
    ASSERT_NE(menu, nullptr);
    emit menu->aboutToShow();
    QStringList listed;
    for (QAction *item : menu->actions())
        if (item->text().contains(QStringLiteral("Document ")) ||
            item->text().contains(QStringLiteral("More")))
            listed << item->text();
    // The document in front keeps its place in the list.
    EXPECT_EQ(listed,
              (QStringList{"&1 Document 1", "&2 Document 2", "&3 Document 3", "&4 Document 4",
                           "&5 Document 5", "&6 Document 6", "&7 Document 7", "&8 Document 8",
                           "&9 Document 12", "&More Windows..."}));

    modal.OnNextDialog([this] {
        auto *list = Frame().findChild<QListWidget *>(QStringLiteral("lstWindows"));
        ASSERT_NE(list, nullptr);
        ASSERT_EQ(list->count(), 12);
        EXPECT_EQ(list->currentItem()->text(), QStringLiteral("Document 12"));
        list->setCurrentRow(9);
    });
    modal.AnswerDialog(QDialog::Accepted);
    menu->actions().back()->trigger();
    ASSERT_EQ(modal.asked().size(), 1u);
    EXPECT_EQ(modal.asked()[0].title, QStringLiteral("Select Window"));
    EXPECT_EQ(Frame().ActiveDocument()->windowTitle(), QStringLiteral("Document 10"));
}
