// Pasting into the tester's log, even from a clipboard without data and in the middle
// of a command, leaves the program and the command running.

#include "AsPerson.h"
#include "FakeDevice.h"
#include "LogView.h"
#include "OwnerlessClipboard.h"
#include "ScriptedModal.h"
#include "frmTest.h"

#include <QApplication>
#include <QClipboard>
#include <QMimeData>
#include <QPointer>
#include <QTest>

#include <gtest/gtest.h>

TEST(TesterPaste, PasteWithoutClipboardDataMidCommandKeepsTheRun)
{
    ScriptedModal modal;
    auto *fake = new FakeDevice;
    QPointer<frmTest> window = new frmTest(modal, fake);
    ASSERT_TRUE(asperson::Activate(*window));
    // The clipboard as a closed program leaves it where other programs share it, else
    // data with no format at all.
    if (!ownerless::LeaveClipboardOwnerless())
        QGuiApplication::clipboard()->setMimeData(new QMimeData);
    auto *log = window->findChild<LogView *>(QStringLiteral("txtMessages"));
    ASSERT_NE(log, nullptr);

    QString logBeforePaste;
    fake->onExecute = [&](qint32) {
        log->setFocus();
        logBeforePaste = log->Text();
        asperson::Press(Qt::ControlModifier | Qt::Key_V);
        asperson::Press(Qt::ShiftModifier | Qt::Key_Insert);
        QTest::mouseClick(log->viewport(), Qt::MiddleButton);
        EXPECT_EQ(log->Text(), logBeforePaste);
        return CommandResult{true, {}, {}};
    };
    // Read ESN, picked and sent by keys from the list, where the focus starts.
    asperson::Press(Qt::Key_Down);
    asperson::Press(Qt::Key_Return);
    ASSERT_TRUE(window);
    EXPECT_EQ(fake->executed, std::vector<qint32>{1});
    EXPECT_FALSE(logBeforePaste.isEmpty());
    EXPECT_TRUE(window->LogText().contains(QStringLiteral("Sending Command: \"Read ESN\"")));
    delete window.data();
}
