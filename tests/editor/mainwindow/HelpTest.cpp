// Help > Contents and Search For Help On: the guide in its window, searched by typing.

#include "Encryption.h"
#include "FrameFixture.h"
#include "Survival.h"
#include "frmHelp.h"

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QTest>
#include <QTextBrowser>

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
            EXPECT_EQ(kept == static_cast<int>(keyCodes.size()), claim.everywhere) << int(c.unicode());
        }
    }
    // Every ASCII character a person types survives.
    for (char16_t c = 0x20; c < 0x7F; ++c)
        for (const int code : keyCodes)
            EXPECT_TRUE(UnitSurvives(c, code)) << int(c);
}
