// The menus as a person sees them: dividers without text, and never two in a row nor one
// at a menu's top or bottom, whichever items are hidden.

#include "AsPerson.h"
#include "FrameFixture.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>

#include <map>

namespace {

// A divider rule broken anywhere in `shown`, or an empty text when it holds.
std::string DividerFault(const QStringList &shown)
{
    for (qsizetype i = 0; i < shown.size(); ++i) {
        if (!shown[i].startsWith(QStringLiteral("---")))
            continue;
        if (shown[i] != QStringLiteral("---"))
            return "a divider with a title: " + shown[i].toStdString();
        if (i == 0)
            return "a divider at the top";
        if (i + 1 == shown.size())
            return "a divider at the bottom";
        if (shown[i + 1].startsWith(QStringLiteral("---")))
            return "two dividers in a row";
    }
    return {};
}

} // namespace

TEST_F(FrameTest, EveryMenuShowsItsDividersOnlyBetweenItems)
{
    int menus = 0;
    for (QAction *entry : Frame().menuBar()->actions()) {
        if (!entry->isVisible())
            continue;
        ++menus;
        const QStringList shown = asperson::ShownMenu(*entry->menu());
        SCOPED_TRACE(shown.join(QLatin1Char('|')).toStdString());
        EXPECT_FALSE(shown.isEmpty()) << "an empty menu in the bar";
        EXPECT_EQ(DividerFault(shown), "");
    }
    EXPECT_GE(menus, 4);
}

TEST_F(FrameTest, FileMenuDividersFollowWhicheverItemsAreShown)
{
    const char *const fileItems[] = {"mnuFileNew",        "mnuFileOpen",      "mnuFileClose",
                                     "mnuFileSave",       "mnuFileSaveAs",    "mnuFileSaveAll",
                                     "mnuFileProperties", "mnuFilePageSetup", "mnuFilePrintPreview",
                                     "mnuFilePrint",      "mnuFileSend",      "mnuFileMRU1",
                                     "mnuFileMRU2",       "mnuFileMRU3",      "mnuFileExit"};
    struct Case
    {
        std::vector<const char *> shown;
        QStringList expected;
    };
    const Case cases[] = {
        {{"mnuFileOpen", "mnuFileExit"}, {"Open...", "---", "Exit"}},
        {{"mnuFileSave", "mnuFilePrint"}, {"Save", "---", "Print..."}},
        {{"mnuFilePrint"}, {"Print..."}},
        {{"mnuFileNew", "mnuFileOpen", "mnuFileClose", "mnuFileSave", "mnuFileSaveAs",
          "mnuFileSaveAll", "mnuFileProperties", "mnuFilePageSetup", "mnuFilePrintPreview",
          "mnuFilePrint", "mnuFileSend", "mnuFileExit"},
         {"New", "Open...", "Close", "---", "Save", "Save As...", "Save All", "---", "Properties",
          "---", "Page Setup...", "Print Preview", "Print...", "---", "Send...", "---", "Exit"}},
        // The recent files get their own group before Exit.
        {{"mnuFileOpen", "mnuFileMRU1", "mnuFileExit"}, {"Open...", "---", "1", "---", "Exit"}},
    };
    Item("mnuFileMRU1")->setText(QStringLiteral("1"));
    QMenu *file = asperson::MenuBarMenu(Frame(), QStringLiteral("File"));
    ASSERT_NE(file, nullptr);
    for (const Case &c : cases) {
        // Shown and hidden in changing order, as the program's own state would.
        for (const char *name : fileItems)
            Item(QString::fromUtf8(name))->setVisible(true);
        for (const char *name : fileItems) {
            const bool wanted = std::find_if(c.shown.begin(), c.shown.end(), [name](auto s) {
                                    return qstrcmp(s, name) == 0;
                                }) != c.shown.end();
            Item(QString::fromUtf8(name))->setVisible(wanted);
        }
        EXPECT_EQ(asperson::ShownMenu(*file), c.expected);
        // Also where nothing folds dividers away for us.
        file->setSeparatorsCollapsible(false);
        EXPECT_EQ(asperson::ShownMenu(*file), c.expected);
        file->setSeparatorsCollapsible(true);
    }
}

TEST_F(FrameTest, MenuWithoutShownItemsLeavesTheBarAndComesBack)
{
    QMenu *tools = Frame().findChild<QMenu *>(QStringLiteral("mnuTools"));
    ASSERT_NE(tools, nullptr);
    Item("mnuToolsOptions")->setVisible(false);
    EXPECT_FALSE(tools->menuAction()->isVisible());
    Item("mnuToolsOptions")->setVisible(true);
    EXPECT_TRUE(tools->menuAction()->isVisible());
    EXPECT_EQ(asperson::ShownMenu(*tools), QStringList{"Options..."});
}

// Alt and a letter reach one item: two items of a menu underlining the same letter only
// take turns being highlighted, and neither is chosen.
TEST_F(FrameTest, NoTwoShownItemsOfAMenuUnderlineTheSameLetter)
{
    // The mnemonic letter of a caption, or nothing ("&&" is a plain ampersand).
    auto mnemonic = [](const QString &caption) -> QChar {
        for (qsizetype i = 0; i + 1 < caption.size(); ++i) {
            if (caption[i] != QLatin1Char('&'))
                continue;
            if (caption[i + 1] != QLatin1Char('&'))
                return caption[i + 1].toUpper();
            ++i;
        }
        return {};
    };
    Frame().LoadFile(scratch.filePath(QStringLiteral("one.cfg")));
    Frame().LoadFile(scratch.filePath(QStringLiteral("two.cfg")));
    QList<QAction *> bar;
    for (QAction *entry : Frame().menuBar()->actions())
        if (entry->isVisible())
            bar << entry;
    bar << nullptr; // the menu bar's own captions
    for (QAction *entry : bar) {
        QList<QAction *> items = bar.mid(0, bar.size() - 1);
        if (entry) {
            emit entry->menu()->aboutToShow(); // the Window menu lists the windows then
            items = entry->menu()->actions();
        }
        std::map<QChar, QString> taken;
        for (const QAction *item : std::as_const(items)) {
            if (!item->isVisible() || item->isSeparator())
                continue;
            const QChar letter = mnemonic(item->text());
            EXPECT_FALSE(letter.isNull()) << item->text().toStdString();
            const auto [at, added] = taken.emplace(letter, item->text());
            EXPECT_TRUE(added) << item->text().toStdString() << " and " << at->second.toStdString()
                               << " in "
                               << (entry ? entry->text() : QStringLiteral("the bar")).toStdString();
        }
    }
}
