#include "frmOptions.h"

#include "AsPerson.h"
#include "ScreenUnits.h"
#include "ScriptedModal.h"

#include <QApplication>
#include <QGroupBox>
#include <QKeyEvent>
#include <QPushButton>
#include <QSignalSpy>
#include <QTabBar>
#include <QTest>

#include <gtest/gtest.h>

namespace {

// A control that takes every key press and notes which tab was selected when it came.
class KeyTaker : public QWidget
{
public:
    KeyTaker(QWidget *parent, const QTabBar *tabs) : QWidget(parent), m_tabs(tabs)
    {
        setFocusPolicy(Qt::StrongFocus);
    }

    QList<int> tabsSeen;

protected:
    void keyPressEvent(QKeyEvent *event) override
    {
        // The presses of Ctrl and Shift themselves are not what is looked at.
        if (event->key() != Qt::Key_Control && event->key() != Qt::Key_Shift)
            tabsSeen << m_tabs->currentIndex();
        event->accept();
    }

private:
    const QTabBar *m_tabs;
};

class OptionsTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_tabs = m_dialog.findChild<QTabBar *>("tbsOptions");
        ASSERT_NE(m_tabs, nullptr);
    }

    void Show() { ASSERT_TRUE(asperson::Activate(m_dialog)); }

    // A key pressed on the keyboard: through the window, to whatever has the focus.
    void Press(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QTest::keyClick(m_dialog.windowHandle(), key, modifiers);
    }

    // Exactly the panel of the selected tab is in place and enabled; the others are far
    // to the left and disabled.
    void ExpectOnlySelectedPanelShown()
    {
        const int selected = m_tabs->currentIndex();
        int shown = 0;
        for (int j = 0; j < 4; ++j) {
            QWidget *panel = m_dialog.picOptions(j);
            ASSERT_NE(panel, nullptr);
            const bool inPlace = panel->x() == screenunits::TwipsToPixelsX(210);
            EXPECT_EQ(inPlace, j == selected) << "panel " << j;
            EXPECT_EQ(panel->isEnabled(), j == selected) << "panel " << j;
            if (!inPlace) {
                EXPECT_EQ(panel->x(), screenunits::TwipsToPixelsX(-20000)) << "panel " << j;
            }
            shown += inPlace && panel->isEnabled();
        }
        EXPECT_EQ(shown, 1);
    }

    ScriptedModal m_modal;
    frmOptions m_dialog{m_modal};
    QTabBar *m_tabs = nullptr;
};

QRect Twips(double left, double top, double width, double height)
{
    return screenunits::TwipsToPixels(left, top, width, height);
}

} // namespace

TEST_F(OptionsTest, StartsWithTheFirstGroupAndItsElementsInPlace)
{
    EXPECT_EQ(m_dialog.windowTitle(), "Options");
    EXPECT_EQ(m_dialog.size(),
              QSize(screenunits::TwipsToPixelsX(6150), screenunits::TwipsToPixelsY(4935)));
    EXPECT_EQ(m_dialog.minimumSize(), m_dialog.maximumSize());
    EXPECT_FALSE(m_dialog.windowFlags() & Qt::WindowMinimizeButtonHint);
    EXPECT_FALSE(m_dialog.windowFlags() & Qt::WindowMaximizeButtonHint);

    EXPECT_EQ(m_tabs->geometry(), Twips(105, 120, 5895, 4245));
    ASSERT_EQ(m_tabs->count(), 4);
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(m_tabs->tabText(i), QStringLiteral("Group %1").arg(i + 1));
    EXPECT_EQ(m_tabs->currentIndex(), 0);
    ExpectOnlySelectedPanelShown();

    const QList<QWidget *> panels = m_dialog.findChildren<QWidget *>("picOptions");
    EXPECT_EQ(panels.size(), 4);
    const double frameLeft[] = {208, 307, 406, 505};
    const double frameTop[] = {207, 305, 403, 502};
    for (int j = 0; j < 4; ++j) {
        QWidget *panel = m_dialog.picOptions(j);
        EXPECT_EQ(panel->objectName(), "picOptions");
        EXPECT_EQ(panel->property("index").toInt(), j);
        EXPECT_EQ(panel->y(), screenunits::TwipsToPixelsY(480));
        EXPECT_EQ(panel->size(), Twips(0, 0, 5685, 3780).size());
        auto *frame = m_dialog.findChild<QGroupBox *>(QStringLiteral("fraSample%1").arg(j + 1));
        ASSERT_NE(frame, nullptr);
        EXPECT_EQ(frame->parentWidget(), panel);
        EXPECT_EQ(frame->title(), QStringLiteral("Sample %1").arg(j + 1));
        EXPECT_EQ(frame->geometry(), Twips(frameLeft[j], frameTop[j], 2033, 2022));
    }
    EXPECT_EQ(m_dialog.picOptions(4), nullptr);
    EXPECT_EQ(m_dialog.picOptions(-1), nullptr);

    struct Button
    {
        const char *name;
        const char *text;
        double left;
    };
    for (const Button &b : {Button{"cmdOK", "OK", 2490}, Button{"cmdCancel", "Cancel", 3720},
                            Button{"cmdApply", "&Apply", 4920}}) {
        auto *button = m_dialog.findChild<QPushButton *>(b.name);
        ASSERT_NE(button, nullptr) << b.name;
        EXPECT_EQ(button->text(), b.text);
        EXPECT_EQ(button->geometry(), Twips(b.left, 4455, 1095, 375)) << b.name;
    }
}

TEST_F(OptionsTest, CtrlTabCyclesForwardAndCtrlShiftTabBackward)
{
    Show();
    const int forward[] = {1, 2, 3, 0, 1};
    for (int expected : forward) {
        Press(Qt::Key_Tab, Qt::ControlModifier);
        EXPECT_EQ(m_tabs->currentIndex(), expected);
        ExpectOnlySelectedPanelShown();
    }
    m_tabs->setCurrentIndex(0);
    const int backward[] = {3, 2, 1, 0, 3};
    for (int expected : backward) {
        Press(Qt::Key_Tab, Qt::ControlModifier | Qt::ShiftModifier);
        EXPECT_EQ(m_tabs->currentIndex(), expected);
        ExpectOnlySelectedPanelShown();
    }
    // Qt reports Shift+Tab as Backtab on some platforms: the same rule.
    m_tabs->setCurrentIndex(0);
    Press(Qt::Key_Backtab, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(m_tabs->currentIndex(), 3);
}

TEST_F(OptionsTest, AltDoesNotMatterButTabAloneOrShiftTabLeavesTheTab)
{
    Show();
    Press(Qt::Key_Tab, Qt::ControlModifier | Qt::AltModifier);
    EXPECT_EQ(m_tabs->currentIndex(), 1);
    Press(Qt::Key_Tab, Qt::ControlModifier | Qt::AltModifier | Qt::ShiftModifier);
    EXPECT_EQ(m_tabs->currentIndex(), 0);

    QWidget *before = QApplication::focusWidget();
    Press(Qt::Key_Tab);
    EXPECT_EQ(m_tabs->currentIndex(), 0);
    EXPECT_NE(QApplication::focusWidget(), before); // plain Tab still moves the focus
    Press(Qt::Key_Tab, Qt::ShiftModifier);
    EXPECT_EQ(m_tabs->currentIndex(), 0);
    EXPECT_EQ(QApplication::focusWidget(), before);
    Press(Qt::Key_Backtab, Qt::ShiftModifier);
    Press(Qt::Key_Tab, Qt::AltModifier);
    Press(Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(m_tabs->currentIndex(), 0);
    ExpectOnlySelectedPanelShown();
}

TEST_F(OptionsTest, CtrlTabMovesOneTabWhereverTheFocusIs)
{
    Show();
    // The tab strip, a button, and the dialog itself with nothing focused: each sees the key
    // after the dialog has acted on it, and the tab moves exactly once.
    QWidget *targets[] = {m_tabs, m_dialog.findChild<QPushButton *>("cmdApply"), nullptr};
    int expected = 0;
    for (QWidget *target : targets) {
        if (target)
            target->setFocus();
        else if (QApplication::focusWidget())
            QApplication::focusWidget()->clearFocus();
        Press(Qt::Key_Tab, Qt::ControlModifier);
        expected = (expected + 1) % 4;
        EXPECT_EQ(m_tabs->currentIndex(), expected);
        // Straight to the focused widget, as QTest does without a window.
        QTest::keyClick(target ? target : &m_dialog, Qt::Key_Tab, Qt::ControlModifier);
        expected = (expected + 1) % 4;
        EXPECT_EQ(m_tabs->currentIndex(), expected);
    }
    ExpectOnlySelectedPanelShown();
}

TEST_F(OptionsTest, TheDialogActsBeforeTheControlAndTheControlStillGetsTheKey)
{
    auto *taker = new KeyTaker(&m_dialog, m_tabs);
    Show();
    taker->setFocus();
    Press(Qt::Key_Tab, Qt::ControlModifier);
    Press(Qt::Key_Tab, Qt::ControlModifier | Qt::ShiftModifier);
    Press(Qt::Key_X);
    EXPECT_EQ(taker->tabsSeen, (QList<int>{1, 0, 0}));
    EXPECT_EQ(m_tabs->currentIndex(), 0);
}

TEST_F(OptionsTest, KeysForAnotherWindowLeaveThisDialogAlone)
{
    ScriptedModal otherModal;
    frmOptions other(otherModal);
    auto *otherTabs = other.findChild<QTabBar *>("tbsOptions");
    Show();
    Press(Qt::Key_Tab, Qt::ControlModifier);
    EXPECT_EQ(m_tabs->currentIndex(), 1);
    EXPECT_EQ(otherTabs->currentIndex(), 0);

    ASSERT_TRUE(asperson::Activate(other));
    QTest::keyClick(other.windowHandle(), Qt::Key_Tab, Qt::ControlModifier);
    EXPECT_EQ(otherTabs->currentIndex(), 1);
    EXPECT_EQ(m_tabs->currentIndex(), 1);
}

TEST_F(OptionsTest, ClickingATabShowsItsPanel)
{
    Show();
    QTest::mouseClick(m_tabs, Qt::LeftButton, {}, m_tabs->tabRect(2).center());
    EXPECT_EQ(m_tabs->currentIndex(), 2);
    ExpectOnlySelectedPanelShown();
    m_tabs->setFocus();
    Press(Qt::Key_Right);
    EXPECT_EQ(m_tabs->currentIndex(), 3);
    ExpectOnlySelectedPanelShown();
}

TEST_F(OptionsTest, OkShowsItsMessageThenCloses)
{
    Show();
    bool openDuringMessage = false;
    m_modal.OnNextDialog([this, &openDuringMessage] { openDuringMessage = m_dialog.isVisible(); });
    m_modal.AnswerMessage(MsgAnswer::OK);
    m_dialog.findChild<QPushButton *>("cmdOK")->click();
    ASSERT_EQ(m_modal.asked().size(), 1u);
    EXPECT_EQ(m_modal.asked()[0].text, "Code goes here to set options and close dialog!");
    EXPECT_EQ(m_modal.asked()[0].title, QString());
    EXPECT_EQ(m_modal.asked()[0].style, MsgStyle::OKOnly);
    EXPECT_TRUE(openDuringMessage);
    EXPECT_FALSE(m_dialog.isVisible());
}

// By keyboard alone: Tab goes round the tab strip and the buttons, and Enter chooses OK
// wherever the focus is, the tab strip included.
TEST_F(OptionsTest, TabGoesRoundAndEnterChoosesOk)
{
    Show();
    m_tabs->setFocus();
    QStringList visited;
    for (QWidget *widget : asperson::TabRound(m_dialog))
        visited << widget->objectName();
    EXPECT_EQ(visited, (QStringList{"tbsOptions", "cmdOK", "cmdCancel", "cmdApply"}));
    EXPECT_EQ(QApplication::focusWidget(), m_tabs);
    m_modal.AnswerMessage(MsgAnswer::OK);
    Press(Qt::Key_Return);
    ASSERT_EQ(m_modal.asked().size(), 1u);
    EXPECT_EQ(m_modal.asked()[0].text, "Code goes here to set options and close dialog!");
    EXPECT_FALSE(m_dialog.isVisible());
    EXPECT_EQ(m_dialog.result(), QDialog::Accepted);
}

TEST_F(OptionsTest, ApplyShowsItsMessageAndStaysOpen)
{
    Show();
    m_modal.AnswerMessage(MsgAnswer::OK);
    m_dialog.findChild<QPushButton *>("cmdApply")->click();
    ASSERT_EQ(m_modal.asked().size(), 1u);
    EXPECT_EQ(m_modal.asked()[0].text, "Apply Code goes here to set options w/o closing dialog!");
    EXPECT_EQ(m_modal.asked()[0].title, QString());
    EXPECT_EQ(m_modal.asked()[0].style, MsgStyle::OKOnly);
    EXPECT_TRUE(m_dialog.isVisible());
}

TEST_F(OptionsTest, CancelAndEscapeCloseWithoutAMessage)
{
    Show();
    auto *cmdCancel = m_dialog.findChild<QPushButton *>("cmdCancel");
    QSignalSpy clicked(cmdCancel, &QPushButton::clicked);
    Press(Qt::Key_Escape);
    EXPECT_EQ(clicked.count(), 1);
    EXPECT_FALSE(m_dialog.isVisible());
    EXPECT_EQ(m_dialog.result(), QDialog::Rejected);

    Show();
    cmdCancel->click();
    EXPECT_FALSE(m_dialog.isVisible());
    EXPECT_TRUE(m_modal.asked().empty());
}
