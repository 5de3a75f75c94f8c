// Help > Contents and Search For Help On: the guide in its window, searched by typing.

#include "AsPerson.h"
#include "Encryption.h"
#include "FrameFixture.h"
#include "LossReport.h"
#include "Replacement.h"
#include "Survival.h"
#include "frmDocument.h"
#include "frmHelp.h"

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QRegularExpression>
#include <QTest>
#include <QTextBrowser>
#include <QTextDocumentFragment>

#include <map>

namespace {

QString Guide()
{
    QFile file(QStringLiteral(":/quillon/help/guide.html"));
    EXPECT_TRUE(file.open(QIODevice::ReadOnly));
    return QString::fromUtf8(file.readAll());
}

// The guide's section that starts at the anchor `name`, up to the next heading.
QString Section(const QString &guide, const QString &name)
{
    const qsizetype start = guide.indexOf(QStringLiteral("name=\"%1\"").arg(name));
    EXPECT_GE(start, 0) << name.toStdString();
    return guide.mid(start, guide.indexOf(QStringLiteral("<h2>"), start) - start);
}

// What a reader sees of some of the guide's markup: tags gone, entities read, blanks and
// line ends as one blank.
QString Read(const QString &html)
{
    return QTextDocumentFragment::fromHtml(html).toPlainText().simplified();
}

// The cells of each table row in `html`, as read; header rows left out.
QList<QStringList> Rows(const QString &html)
{
    static const QRegularExpression row(QStringLiteral("<tr>(.*?)</tr>"),
                                        QRegularExpression::DotMatchesEverythingOption);
    static const QRegularExpression cell(QStringLiteral("<td>(.*?)</td>"),
                                         QRegularExpression::DotMatchesEverythingOption);
    QList<QStringList> rows;
    for (const QRegularExpressionMatch &r : row.globalMatch(html)) {
        QStringList cells;
        for (const QRegularExpressionMatch &c : cell.globalMatch(r.captured(1)))
            cells << Read(c.captured(1));
        if (!cells.isEmpty())
            rows << cells;
    }
    return rows;
}

// A menu item as the guide names it: "Edit > Go To" for "&Go To...".
QString Command(const QAction &menu, const QAction &item)
{
    QString caption = asperson::WithoutMnemonic(item.text()).trimmed();
    if (caption.endsWith(QStringLiteral("...")))
        caption.chop(3);
    return asperson::WithoutMnemonic(menu.text()) + QStringLiteral(" > ") + caption;
}

} // namespace

class HelpTest : public FrameTest
{
protected:
    void ShowFrame()
    {
        Frame().show();
        Frame().activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&Frame()));
    }

    frmHelp *HelpWindow() { return Frame().findChild<frmHelp *>(QStringLiteral("frmHelp")); }
};

TEST_F(HelpTest, F1ShowsTheGuideAndSearchForHelpOnWaitsForWords)
{
    ShowFrame();
    EXPECT_EQ(HelpWindow(), nullptr);
    QTest::keyClick(&Frame(), Qt::Key_F1);
    frmHelp *help = HelpWindow();
    ASSERT_NE(help, nullptr);
    EXPECT_TRUE(help->isVisible());
    EXPECT_TRUE(help->isWindow());
    auto *guide = help->findChild<QTextBrowser *>(QStringLiteral("txtGuide"));
    ASSERT_NE(guide, nullptr);
    EXPECT_TRUE(guide->toPlainText().startsWith(QStringLiteral("Quillon: editing Torvane")));

    // The same window again, now ready for typing in its search field.
    Item("mnuHelpSearchForHelpOn")->trigger();
    EXPECT_EQ(HelpWindow(), help);
    ASSERT_TRUE(QTest::qWaitFor([&] { return QApplication::activeWindow() == help; }));
    auto *search = help->findChild<QLineEdit *>(QStringLiteral("txtSearch"));
    EXPECT_EQ(QApplication::focusWidget(), search);

    QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("save all"));
    const QString matches = help->findChild<QLabel *>(QStringLiteral("lblMatches"))->text();
    EXPECT_TRUE(matches.endsWith(QStringLiteral(" matches"))) << matches.toStdString();
    EXPECT_GE(matches.split(QLatin1Char(' ')).first().toInt(), 2);
    EXPECT_EQ(guide->textCursor().selectedText().toLower(), QStringLiteral("save all"));

    // Enter goes on to the next place, and round to the first after the last.
    QList<int> places{guide->textCursor().position()};
    const int count = matches.split(QLatin1Char(' ')).first().toInt();
    for (int i = 0; i < count; ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        places << guide->textCursor().position();
    }
    for (int i = 1; i < count; ++i)
        EXPECT_GT(places[i], places[i - 1]);
    EXPECT_EQ(places.back(), places.front());

    QTest::keyClick(QApplication::focusWidget(), Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("xyzzy"));
    EXPECT_EQ(help->findChild<QLabel *>(QStringLiteral("lblMatches"))->text(),
              QStringLiteral("Not found"));
}

// The guide tells people which characters a config file keeps; it must say what the
// cipher does.
TEST(Guide, WhatItSaysSurvivesIsWhatTheCipherKeeps)
{
    QFile file(QStringLiteral(":/quillon/help/guide.html"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QString guide = QString::fromUtf8(file.readAll());
    const std::u16string key(DocumentKey);
    std::vector<int> keyCodes;
    for (std::size_t position = 1; position <= key.size(); ++position)
        keyCodes.push_back(KeyCodeAt(key, position));

    const struct
    {
        QString characters;
        bool somewhere;
        bool everywhere;
    } claims[] = {
        {QStringLiteral("¡¢£¤¥"), true, true},
        {QStringLiteral("¦§¨©ª«¬®¯°±²³´µ¶·¸¹º»¼½¾"), true, false},
        {QStringLiteral("¿éüñ€“”‘’–—"), false, false},
    };
    for (const auto &claim : claims) {
        for (const QChar c : claim.characters) {
            EXPECT_TRUE(guide.contains(c)) << int(c.unicode());
            int kept = 0;
            for (const int code : keyCodes)
                kept += UnitSurvives(c.unicode(), code) ? 1 : 0;
            EXPECT_EQ(kept > 0, claim.somewhere) << int(c.unicode());
            EXPECT_EQ(kept == static_cast<int>(keyCodes.size()), claim.everywhere)
                << int(c.unicode());
        }
    }
    // Every ASCII character a person types survives.
    for (char16_t c = 0x20; c < 0x7F; ++c)
        for (const int code : keyCodes)
            EXPECT_TRUE(UnitSurvives(c, code)) << int(c);
}

TEST_F(HelpTest, KeysTableNamesEveryKeyTheMenusShowAndNoOther)
{
    // Key -> command, as the guide's table says and as the menus show them.
    std::map<std::string, std::string> listed;
    for (const QStringList &row : Rows(Section(Guide(), QStringLiteral("keys")))) {
        ASSERT_EQ(row.size(), 2);
        QString command = row[1];
        command.remove(QRegularExpression(QStringLiteral(" \\(.*\\)$")));
        const qsizetype arrow = command.indexOf(QStringLiteral(" > "));
        if (arrow < 0)
            continue; // a way of using keys, not one command
        // "Ctrl+X, Ctrl+C, Ctrl+V" for "Edit > Cut, Copy, Paste"
        const QStringList keys = row[0].split(QStringLiteral(", "));
        const QStringList items = command.mid(arrow + 3).split(QStringLiteral(", "));
        ASSERT_EQ(keys.size(), items.size()) << row.join(u'|').toStdString();
        for (qsizetype i = 0; i < keys.size(); ++i)
            listed[keys[i].toStdString()] = (command.left(arrow + 3) + items[i]).toStdString();
    }

    std::map<std::string, std::string> shown;
    for (QAction *entry : Frame().menuBar()->actions()) {
        if (!entry->isVisible())
            continue;
        for (QAction *item : entry->menu()->actions())
            if (item->isVisible() && !item->isSeparator() && !item->shortcut().isEmpty())
                shown[item->shortcut().toString(QKeySequence::NativeText).toStdString()] =
                    Command(*entry, *item).toStdString();
    }
    EXPECT_EQ(listed, shown);
    EXPECT_EQ(shown["F8"], "Edit > Next Character That Will Not Survive");
}

// Every command a menu shows is named in the guide as "Menu > Item", as a reader looks
// for it; the Window menu's list of open windows is no command.
TEST_F(HelpTest, GuideNamesEveryMenuCommand)
{
    ShowFrame();
    const QString guide = Read(Guide());
    QStringList missing;
    int commands = 0;
    for (QAction *entry : Frame().menuBar()->actions()) {
        if (!entry->isVisible())
            continue;
        entry->menu()->aboutToShow(); // as opening it would, for menus filled then
        for (QAction *item : entry->menu()->actions()) {
            if (!item->isVisible() || item->isSeparator() || item->objectName().isEmpty() ||
                item->actionGroup())
                continue;
            ++commands;
            if (!guide.contains(Command(*entry, *item)))
                missing << Command(*entry, *item);
        }
    }
    EXPECT_GT(commands, 30);
    EXPECT_TRUE(missing.isEmpty()) << missing.join(QStringLiteral("; ")).toStdString();
}

// The guide quotes the program's questions and status texts; they must be the program's.
TEST_F(HelpTest, GuideQuotesWhatSaveAsksAndTheStatusBarSays)
{
    ShowFrame();
    const QString marks = Read(Section(Guide(), QStringLiteral("marks")));
    const QString size = Read(Section(Guide(), QStringLiteral("size")));

    Frame().LoadFile(scratch.filePath(QStringLiteral("quotes.cfg")));
    frmDocument *document = Frame().ActiveDocument();
    ASSERT_NE(document, nullptr);
    document->SetText(QStringLiteral("a=\u201Cb\u201D \u00E9"));
    modal.AnswerQuestion(2);
    Item(QStringLiteral("mnuFileSave"))->trigger();
    ASSERT_EQ(modal.asked().size(), 1u);
    const QStringList answers = modal.asked()[0].buttons;
    ASSERT_EQ(answers.size(), 3);
    for (const QString &answer : answers)
        EXPECT_TRUE(marks.contains(asperson::WithoutMnemonic(answer) + QStringLiteral(":")))
            << answer.toStdString();
    const QString count = QString::fromStdString(lossreport::LossSummary(3, 10));
    EXPECT_TRUE(marks.contains(QStringLiteral("for example ") + count)) << count.toStdString();

    // A unit with a high byte, which deciphering drops: deciphered only when told to,
    // warned on open, asked on save.
    modal.AnswerQuestion(1);
    modal.AnswerMessage(MsgAnswer::OK);
    Frame().LoadFile(MakeFile(QStringLiteral("unshown.cfg"), QByteArray("\x41\x01", 2)));
    modal.AnswerQuestion(1);
    Item(QStringLiteral("mnuFileSave"))->trigger();
    ASSERT_EQ(modal.asked().size(), 4u);
    const QStringList unshown = modal.asked()[3].buttons;
    ASSERT_EQ(unshown.size(), 2);
    EXPECT_TRUE(marks.contains(
        QStringLiteral("(%1 or %2)")
            .arg(asperson::WithoutMnemonic(unshown[0]), asperson::WithoutMnemonic(unshown[1]))))
        << unshown.join(u'|').toStdString();

    const std::u16string tooLong(33010, u'a');
    for (const std::string &said : {lossreport::LossSummary(0, tooLong.size()),
                                    *lossreport::SaveRefusal(tooLong, DocumentKey)})
        EXPECT_TRUE(size.contains(QString::fromStdString(said))) << said;
    document->setChanged(false);

    // A plain file: asked about on opening, and again on its first save.
    const QString plain = Read(Section(Guide(), QStringLiteral("plain")));
    modal.AnswerQuestion(0);
    Frame().LoadFile(MakeFile(QStringLiteral("plain.ini"), "[General]\n"));
    modal.AnswerQuestion(1);
    Item(QStringLiteral("mnuFileSave"))->trigger();
    const std::size_t asked = modal.asked().size();
    ASSERT_GE(asked, 2u);
    for (const QString &answer :
         modal.asked()[asked - 2].buttons + modal.asked()[asked - 1].buttons)
        EXPECT_TRUE(plain.contains(asperson::WithoutMnemonic(answer))) << answer.toStdString();
}

// The guide's replacement table says what Replace and Save puts for each character it
// names; the program's table must agree.
TEST(Guide, ReplacementsItNamesAreTheProgramsOwn)
{
    static const QRegularExpression pair(QStringLiteral("(\\S) \u2192 (\\S)"));
    int checked = 0;
    for (const QStringList &row : Rows(Section(Guide(), QStringLiteral("marks")))) {
        ASSERT_EQ(row.size(), 2);
        if (row[1].size() == 1) {
            // Every single character named in the left cell becomes the right one.
            for (const QString &word : row[0].split(QRegularExpression(QStringLiteral("[\\s,()]+")),
                                                    Qt::SkipEmptyParts)) {
                if (word.size() != 1 || word[0].unicode() < 0x80)
                    continue;
                EXPECT_EQ(ReplacementFor(word[0].unicode()), row[1][0].unicode())
                    << word.toStdString() << " in " << row[0].toStdString();
                ++checked;
            }
            continue;
        }
        for (const QRegularExpressionMatch &m : pair.globalMatch(row[1])) {
            EXPECT_EQ(ReplacementFor(m.captured(1)[0].unicode()), m.captured(2)[0].unicode())
                << m.captured(0).toStdString();
            ++checked;
        }
    }
    EXPECT_GE(checked, 20);
}
