// The tester as a person meets it: keys go to the active window and reach whatever has
// the focus (an open list included), and the panels are read as they are displayed.
#include "AsPerson.h"
#include "FakeDevice.h"
#include "ScreenUnits.h"
#include "ScriptedModal.h"
#include "frmTest.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QStatusBar>
#include <QTest>

#include <gtest/gtest.h>

namespace {

using asperson::Press;
using asperson::Type;

class TesterByKeys : public ::testing::Test
{
protected:
    void SetUp() override
    {
        fake = new FakeDevice;
        window = new frmTest(modal, fake);
        ASSERT_TRUE(asperson::Activate(*window));
    }

    void TearDown() override { delete window.data(); }

    template <typename T> T *Find(const char *name) const
    {
        T *found = window->findChild<T *>(QString::fromLatin1(name));
        EXPECT_NE(found, nullptr) << name;
        return found;
    }

    QComboBox *List() const { return Find<QComboBox>("cmbCommand"); }
    QString Box() const { return List()->lineEdit()->text(); }
    QPushButton *SendButton() const { return Find<QPushButton>("cmdSend"); }
    QPushButton *CancelButton() const { return Find<QPushButton>("cmdCancel"); }
    static QWidget *Focused() { return QApplication::focusWidget(); }

    // Arrow keys in the closed list until the box shows `entry`.
    void PickWithArrows(const QString &entry)
    {
        for (int step = 0; Box() != entry && step <= List()->count(); ++step)
            Press(Qt::Key_Down);
        ASSERT_EQ(Box(), entry);
    }

    // The entry the log says was sent last, or nothing.
    QString LastSent() const
    {
        const QString marker = QStringLiteral("Sending Command: \"");
        const QString log = window->LogText();
        const qsizetype at = log.lastIndexOf(marker);
        if (at < 0)
            return {};
        const qsizetype from = at + marker.size();
        return log.mid(from, log.indexOf(QLatin1Char('"'), from) - from);
    }

    ScriptedModal modal;
    QPointer<frmTest> window;
    FakeDevice *fake = nullptr;
};

} // namespace

struct BoxCase
{
    const char *what;
    const char *typed; // over "Done", picked with the arrows
    // After typing: 0 nothing, 1 one more arrow key, 2 the last entry of the open list.
    int pick;
    const char *shown; // the box's text at Send
    const char *sent;  // nullptr: nothing is sent
};

class SendsWhatTheBoxShows : public TesterByKeys, public ::testing::WithParamInterface<BoxCase>
{
};

TEST_P(SendsWhatTheBoxShows, OrNothing)
{
    const BoxCase &c = GetParam();
    ASSERT_TRUE(Focused() == List() || Focused() == List()->lineEdit());
    PickWithArrows(QStringLiteral("Done"));
    Press(Qt::ControlModifier | Qt::Key_A);
    Type(QString::fromLatin1(c.typed));
    if (c.pick == 1) {
        Press(Qt::Key_Down);
    } else if (c.pick == 2) {
        Press(Qt::Key_F4);
        ASSERT_TRUE(QTest::qWaitFor([] { return QApplication::activePopupWidget() != nullptr; }));
        Press(Qt::Key_End);
        Press(Qt::Key_Return);
        ASSERT_TRUE(QTest::qWaitFor([] { return QApplication::activePopupWidget() == nullptr; }));
        // A window manager gives the window its focus back; the offscreen platform has
        // none and leaves it with the closed list.
        window->activateWindow();
        ASSERT_TRUE(QTest::qWaitFor(
            [this] { return QGuiApplication::focusWindow() == window->windowHandle(); }));
    }
    EXPECT_EQ(Box(), QString::fromLatin1(c.shown));

    Press(Qt::Key_Return);
    SendButton()->click();
    if (c.sent) {
        EXPECT_EQ(fake->executed.size(), 2u);
        EXPECT_EQ(LastSent(), QString::fromLatin1(c.sent));
    } else {
        EXPECT_TRUE(fake->executed.empty());
        EXPECT_EQ(window->LogText(), QString());
    }
}

INSTANTIATE_TEST_SUITE_P(
    TesterByKeys, SendsWhatTheBoxShows,
    ::testing::Values(BoxCase{"TypedOverAPick", "xyz", 0, "xyz", nullptr},
                      BoxCase{"Completed", "rea", 0, "read ESN", nullptr},
                      BoxCase{"TypedAnEntrysName", "Done", 0, "Done", nullptr},
                      BoxCase{"ArrowAfterTyping", "rea", 1, "Read ESN", "Read ESN"},
                      BoxCase{"OpenListAfterTyping", "xyz", 2, "Done", "Done"}),
    [](const ::testing::TestParamInfo<BoxCase> &param) { return std::string(param.param.what); });

TEST_F(TesterByKeys, LeavingTheBoxAfterTypingSelectsNothing)
{
    Press(Qt::ControlModifier | Qt::Key_A);
    Type(QStringLiteral("done"));
    Press(Qt::Key_Tab);
    ASSERT_EQ(Focused(), SendButton());
    EXPECT_EQ(List()->currentIndex(), -1);
    Press(Qt::Key_Return);
    SendButton()->click();
    EXPECT_TRUE(fake->executed.empty());
    EXPECT_EQ(window->LogText(), QString());
}

TEST_F(TesterByKeys, EnterDoesNothingWhileACommandRunsAndSendsAgainAfterwards)
{
    PickWithArrows(QStringLiteral("Read ESN"));
    Press(Qt::Key_Tab);
    ASSERT_EQ(Focused(), SendButton());
    fake->onExecute = [this](qint32) {
        if (fake->executed.size() == 1) {
            Press(Qt::Key_Return);
            Press(Qt::Key_Enter);
        } else {
            // Cancel, reached on purpose, still takes Space, but Enter no more.
            for (int step = 0; Focused() != CancelButton() && step < 5; ++step)
                Press(Qt::Key_Tab);
            EXPECT_EQ(Focused(), CancelButton());
            Press(Qt::Key_Return);
            EXPECT_EQ(fake->cancels, 0);
            Press(Qt::Key_Space);
            EXPECT_EQ(fake->cancels, 1);
        }
        return CommandResult{true, {}, {}};
    };
    Press(Qt::Key_Return);
    EXPECT_EQ(fake->executed.size(), 1u);
    EXPECT_EQ(fake->cancels, 0);
    EXPECT_EQ(Focused(), SendButton());
    Press(Qt::Key_Return);
    EXPECT_EQ(fake->executed, (std::vector<qint32>{1, 1}));
    EXPECT_EQ(fake->cancels, 1);
}

TEST_F(TesterByKeys, PanelsShowDeviceTextsAsTheyCome)
{
    const QLabel *panel1 = Find<QLabel>("stbMainPanel1");
    const QLabel *panel2 = Find<QLabel>("stbMainPanel2");
    const QString status = QStringLiteral("<b>Ready</b> &lt;5 V");
    const QString error = QStringLiteral("<i>No</i> answer &amp; <br>no line");
    fake->onExecute = [this, &status, &error](qint32) {
        emit fake->StatusChanged(0, status);
        return CommandResult{false, error, {}};
    };
    PickWithArrows(QStringLiteral("Read ESN"));
    Press(Qt::Key_Return);
    EXPECT_EQ(asperson::DisplayedText(*panel2), status);
    EXPECT_EQ(asperson::DisplayedText(*panel1), QStringLiteral("Error: ") + error);
}

TEST_F(TesterByKeys, Panel1KeepsItsMinimumAndPanel2NeverCoversIt)
{
    const QLabel *panel1 = Find<QLabel>("stbMainPanel1");
    const QLabel *panel2 = Find<QLabel>("stbMainPanel2");
    const int minimum = screenunits::TwipsToPixelsX(1440, window);
    const QWidget *client = window->centralWidget();
    const int frame = window->width() - client->width();
    for (const double twips : {10215.0, 4000.0, 2900.0, 2000.0, 1000.0, 300.0}) {
        SCOPED_TRACE(twips);
        const int width = screenunits::TwipsToPixelsX(twips, window);
        window->resize(width + frame, window->height());
        ASSERT_TRUE(QTest::qWaitFor([client, width] { return client->width() == width; }));
        EXPECT_GE(panel1->width(), minimum);
        EXPECT_EQ(panel2->width(), minimum);
        EXPECT_GT(panel2->x(), panel1->geometry().right());
        if (twips == 10215.0) { // at design size both fit
            EXPECT_LE(panel2->mapTo(client, QPoint(panel2->width(), 0)).x(), client->width());
        }
    }
}
