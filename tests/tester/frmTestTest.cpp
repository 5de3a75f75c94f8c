#include "AccessibleTree.h"
#include "FakeDevice.h"
#include "LogView.h"
#include "ScreenUnits.h"
#include "SimulatedUnit.h"
#include "TesterWindow.h"
#include "Torvane.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QMenu>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QSignalSpy>
#include <QStatusBar>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <stdexcept>

namespace {

class WithFakeDevice : public TesterWindow
{
protected:
    void SetUp() override
    {
        TesterWindow::SetUp();
        fake = new FakeDevice;
        Open(fake);
    }

    FakeDevice *fake = nullptr;
};

class WithSimulatedUnit : public TesterWindow
{
protected:
    void SetUp() override
    {
        TesterWindow::SetUp();
        torvane = new Torvane;
        torvane->SetPace(0);
        Open(torvane);
        Switch("mnuSimulate")->trigger();
    }

    Torvane *torvane = nullptr;
};

} // namespace

TEST_F(WithFakeDevice, OpensWithTheDesignedElements)
{
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Pellow Tester"));
    // The installed icon at every size it is installed at, once the window is on screen.
    const QList<QSize> installed{{16, 16}, {32, 32}, {48, 48}, {64, 64}, {128, 128}, {256, 256}};
    EXPECT_TRUE(QTest::qWaitFor([this, &installed] {
        return window->windowIcon().availableSizes() == installed;
    })) << window->windowIcon().availableSizes().size();
    QComboBox *list = List();
    ASSERT_EQ(list->count(), 21);
    EXPECT_EQ(list->itemText(0), QStringLiteral("Read ESN"));
    EXPECT_EQ(list->itemText(17), QStringLiteral("Write System Prefs"));
    EXPECT_EQ(list->itemText(20), QStringLiteral("Done"));
    EXPECT_EQ(list->currentIndex(), -1);
    EXPECT_EQ(list->currentText(), QStringLiteral("Choose a command"));
    EXPECT_TRUE(list->isEditable());
    EXPECT_EQ(SendButton()->text(), QStringLiteral("Send"));
    EXPECT_TRUE(SendButton()->isEnabled());
    EXPECT_EQ(CancelButton()->text(), QStringLiteral("Cancel"));
    EXPECT_EQ(Bar()->minimum(), 0);
    EXPECT_EQ(Bar()->maximum(), 100);
    EXPECT_EQ(Bar()->value(), 0);
    EXPECT_EQ(window->PanelText(1), QString());
    EXPECT_EQ(window->PanelText(2), QString());
    EXPECT_EQ(window->LogText(), QString());
    EXPECT_EQ(Find<LogView>("txtMessages")->font().family(), QStringLiteral("Lucida Console"));

    QMenu *file = Find<QMenu>("mnuFile");
    EXPECT_EQ(file->title(), QStringLiteral("File"));
    const QList<QAction *> items = file->actions();
    ASSERT_EQ(items.size(), 4);
    const char *names[] = {"mnuSimulate", "mnuMessages", "mnuResponses", "mnuFields"};
    const char *captions[] = {"Simulate Torvane", "Show Messages", "Show Responses", "Show Fields"};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(items[i]->objectName(), QString::fromLatin1(names[i]));
        EXPECT_EQ(items[i]->text(), QString::fromLatin1(captions[i]));
        EXPECT_TRUE(items[i]->isCheckable());
        EXPECT_EQ(items[i]->isChecked(), i != 0);
        EXPECT_TRUE(items[i]->shortcut().isEmpty());
    }
}

// What a screen reader says for each element, through Qt's accessibility interface: the
// list is named for what it is rather than by the prompt in its box, and the panels say
// what they are while empty and what they show after a command.
TEST_F(WithFakeDevice, EveryElementReadsWithANameAndRole)
{
    EXPECT_EQ(accessible::Unnamed(*window).toStdString(), "");

    const struct
    {
        const char *element;
        QAccessible::Role role;
        QString name;
        QString description; // a part of it
    } rows[] = {
        {"cmbCommand", QAccessible::ComboBox, "Command", "Send sends to the unit"},
        {"txtMessages", QAccessible::EditableText, "Log", "reported"},
        {"pgbMain", QAccessible::ProgressBar, "Progress", "running command"},
        {"stbMainPanel1", QAccessible::StaticText, "Outcome", "last command"},
        {"stbMainPanel2", QAccessible::StaticText, "Unit status", "latest status"},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.element);
        const accessible::Node node = accessible::Read(*Find<QWidget>(row.element));
        EXPECT_EQ(node.role, row.role);
        EXPECT_EQ(node.name.toStdString(), row.name.toStdString());
        EXPECT_TRUE(node.description.contains(row.description)) << qPrintable(node.description);
    }
    EXPECT_EQ(accessible::Read(*List()->lineEdit()).name, QStringLiteral("Command"));
    fake->onExecute = [this](qint32) {
        emit fake->StatusChanged(7, QStringLiteral("Connected"));
        return CommandResult{true, {}, {}};
    };
    SendEntry(0);
    EXPECT_EQ(accessible::Read(*Find<QWidget>("stbMainPanel1")).name,
              QStringLiteral("Outcome: Success!!!"));
    EXPECT_EQ(accessible::Read(*Find<QWidget>("stbMainPanel2")).name,
              QStringLiteral("Unit status: Connected"));
    EXPECT_EQ(accessible::Read(*List()).name, QStringLiteral("Command"));
}

TEST_F(WithFakeDevice, FocusStartsInTheListAndMovesToSendCancelLog)
{
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window));
    const auto focused = [] { return QApplication::focusWidget(); };
    const auto inList = [this, &focused] {
        return focused() == List() || focused() == List()->lineEdit();
    };
    auto *log = Find<LogView>("txtMessages");
    EXPECT_TRUE(inList());
    QTest::keyClick(focused(), Qt::Key_Tab);
    EXPECT_EQ(focused(), SendButton());
    QTest::keyClick(focused(), Qt::Key_Tab);
    EXPECT_EQ(focused(), CancelButton());
    QTest::keyClick(focused(), Qt::Key_Tab);
    EXPECT_EQ(focused(), log);
    // The log takes typing but lets Tab go on round, and Shift+Tab back.
    QTest::keyClicks(focused(), QStringLiteral("note"));
    QTest::keyClick(focused(), Qt::Key_Tab);
    EXPECT_TRUE(inList());
    QTest::keyClick(focused(), Qt::Key_Backtab, Qt::ShiftModifier);
    EXPECT_EQ(focused(), log);
    QTest::keyClick(focused(), Qt::Key_Backtab, Qt::ShiftModifier);
    EXPECT_EQ(focused(), CancelButton());
    EXPECT_EQ(window->LogText(), QStringLiteral("note"));
}

TEST_F(WithFakeDevice, LaysOutTheDesignSizeInTwips)
{
    const QWidget *client = window->centralWidget();
    EXPECT_EQ(client->size(), screenunits::TwipsToPixels(0, 0, 10215, 7290, window).size());
    EXPECT_EQ(Find<LogView>("txtMessages")->geometry(),
              screenunits::TwipsToPixels(0, 600, 10015, 5790, window));
    EXPECT_EQ(Bar()->geometry(), screenunits::TwipsToPixels(120, 6440, 8390, 375, window));
    EXPECT_EQ(List()->geometry().width(), screenunits::TwipsToPixelsX(8390, window));
    EXPECT_EQ(SendButton()->geometry(), screenunits::TwipsToPixels(8560, 120, 1575, 375, window));
    EXPECT_EQ(CancelButton()->geometry(),
              screenunits::TwipsToPixels(8560, 6440, 1575, 375, window));
}

// Also run at twice the scale on a small screen (see CMakeLists.txt), where the design's
// size is larger than the screen.
TEST_F(WithFakeDevice, OpensWithinTheScreensAvailableArea)
{
    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window));
    if (qEnvironmentVariableIsSet("QT_SCALE_FACTOR")) { // the run at twice the scale
        EXPECT_EQ(window->devicePixelRatio(), qEnvironmentVariable("QT_SCALE_FACTOR").toDouble());
    }
    const QRect area = window->screen()->availableGeometry();
    EXPECT_TRUE(area.contains(window->frameGeometry()))
        << window->frameGeometry().width() << "x" << window->frameGeometry().height() << " on "
        << area.width() << "x" << area.height();
    // The status bar, at the client area's bottom edge, is on the screen.
    EXPECT_EQ(Find<QStatusBar>("stbMain")->geometry().bottom(),
              window->centralWidget()->height() - 1);
    // Where the design fits with room for a menu bar and a frame, it is kept.
    const QSize design = screenunits::TwipsToPixels(0, 0, 10215, 7290, window).size();
    if (area.width() >= design.width() + 100 && area.height() >= design.height() + 100) {
        EXPECT_EQ(window->centralWidget()->size(), design);
    }
}

TEST_F(WithFakeDevice, ATinyWindowKeepsTheLogsSize)
{
    const QRect before = Find<LogView>("txtMessages")->geometry();
    window->resize(8, window->height() - window->centralWidget()->height() + 8);
    QTest::qWait(0); // let the resize reach the client area
    EXPECT_LE(window->centralWidget()->width(), screenunits::TwipsToPixelsX(200, window));
    EXPECT_EQ(Find<LogView>("txtMessages")->size(), before.size());
}

TEST_F(WithFakeDevice, WithNothingSelectedSendChangesNothing)
{
    fake->onExecute = [](qint32) { return CommandResult{false, QStringLiteral("earlier"), {}}; };
    SendEntry(0);
    const QString log = window->LogText();
    ASSERT_EQ(window->PanelText(1), QStringLiteral("Error: earlier"));

    List()->setCurrentIndex(-1);
    List()->setEditText(QStringLiteral("Read ESN")); // typed text is never sent
    SendButton()->click();
    EXPECT_EQ(fake->executed.size(), 1u);
    EXPECT_EQ(window->LogText(), log);
    EXPECT_EQ(window->PanelText(1), QStringLiteral("Error: earlier"));
    EXPECT_TRUE(SendButton()->isEnabled());
}

TEST_F(WithFakeDevice, SendsTheTablesNumberNotTheListPosition)
{
    SendEntry(0);
    SendEntry(16);
    SendEntry(17);
    SendEntry(20);
    EXPECT_EQ(fake->executed, (std::vector<qint32>{1, 17, 19, 22}));
}

TEST_F(WithFakeDevice, SimulateIsWrittenBeforeEveryCommand)
{
    SendEntry(0);
    Switch("mnuSimulate")->trigger();
    SendEntry(0);
    EXPECT_EQ(fake->simulateSeen, (std::vector<bool>{false, true}));
}

TEST_F(WithFakeDevice, ASuccessfulRunLogsTheDesignedText)
{
    fake->onExecute = [this](qint32) {
        EXPECT_FALSE(SendButton()->isEnabled());
        EXPECT_EQ(window->PanelText(1), QString());
        emit fake->StatusChanged(7, QStringLiteral("Connected"));
        emit fake->MessageReceived(QStringLiteral("two\r\nlines"));
        emit fake->ResponseReceived(QStringLiteral("A\r\nB"));
        emit fake->ProgressChanged(QStringLiteral("ignored"), 99, 1, 8);
        emit fake->MessageReceived(QStringLiteral("bare\nfeed"));
        return CommandResult{true, {}, {2, QStringLiteral("ESN: 4A7F19C2\r\nModel: T2")}};
    };
    SendEntry(0);
    const QString expected = Entry(QStringLiteral("Sending Command: \"Read ESN\"")) +
                             Entry(QStringLiteral("two\r\nlines")) +
                             Entry(QStringLiteral("Received Response: A<Cr><Lf>B")) +
                             Entry(QStringLiteral("bare\nfeed")) +
                             Entry(QStringLiteral("These Details were returned: \r\n"
                                                  "-----------------------------\r\n"
                                                  "ESN: 4A7F19C2\r\nModel: T2"));
    EXPECT_EQ(window->LogText(), expected);
    EXPECT_EQ(window->PanelText(1), QStringLiteral("Success!!!"));
    EXPECT_EQ(window->PanelText(2), QStringLiteral("12%"));
    EXPECT_EQ(Bar()->value(), 0);
    EXPECT_TRUE(SendButton()->isEnabled());
}

TEST_F(WithFakeDevice, SwitchesDecideWhatReachesTheLog)
{
    fake->onExecute = [this](qint32) {
        emit fake->MessageReceived(QStringLiteral("message"));
        emit fake->ResponseReceived(QStringLiteral("response"));
        emit fake->ErrorOccurred(QStringLiteral("Timeout"), QStringLiteral("Read ESN"));
        emit fake->StatusChanged(0, QStringLiteral("Busy"));
        return CommandResult{true, {}, {1, QStringLiteral("field")}};
    };
    Switch("mnuMessages")->trigger();
    Switch("mnuResponses")->trigger();
    Switch("mnuFields")->trigger();
    SendEntry(0);
    EXPECT_EQ(window->LogText(),
              Entry(QStringLiteral("Sending Command: \"Read ESN\"")) +
                  Entry(QStringLiteral("Device Error: Timeout occurred in: Read ESN")));
    EXPECT_EQ(window->PanelText(2), QStringLiteral("Busy"));
}

TEST_F(WithFakeDevice, SwitchesFlippedDuringARunCountFromTheNextReport)
{
    // The flips are queued as clicks would be; the progress report processes them.
    fake->onExecute = [this](qint32) {
        emit fake->MessageReceived(QStringLiteral("before"));
        QMetaObject::invokeMethod(Switch("mnuMessages"), &QAction::trigger, Qt::QueuedConnection);
        QMetaObject::invokeMethod(Switch("mnuFields"), &QAction::trigger, Qt::QueuedConnection);
        QMetaObject::invokeMethod(Switch("mnuSimulate"), &QAction::trigger, Qt::QueuedConnection);
        emit fake->ProgressChanged({}, 0, 1, 2);
        emit fake->MessageReceived(QStringLiteral("after"));
        return CommandResult{true, {}, {1, QStringLiteral("field")}};
    };
    SendEntry(0);
    EXPECT_EQ(window->LogText(), Entry(QStringLiteral("Sending Command: \"Read ESN\"")) +
                                     Entry(QStringLiteral("before")));
    EXPECT_EQ(fake->simulateSeen, (std::vector<bool>{false}));
    EXPECT_TRUE(Switch("mnuSimulate")->isChecked());
}

TEST_F(WithFakeDevice, EmptyTextsKeepTheirPlaces)
{
    fake->onExecute = [this](qint32) {
        emit fake->MessageReceived(QString());
        emit fake->ErrorOccurred(QString(), QString());
        return CommandResult{true, {}, {0, QStringLiteral("not shown")}};
    };
    SendEntry(20);
    EXPECT_EQ(window->LogText(), Entry(QStringLiteral("Sending Command: \"Done\"")) +
                                     QStringLiteral("\r\n") +
                                     Entry(QStringLiteral("Device Error:  occurred in: ")));
    EXPECT_EQ(window->PanelText(1), QStringLiteral("Success!!!")); // no details for 0 fields
}

TEST_F(WithFakeDevice, AFailedCommandKeepsTheBar)
{
    fake->onExecute = [this](qint32) {
        emit fake->ProgressChanged({}, 0, 3, 8);
        return CommandResult{false, QStringLiteral("No answer"), {}};
    };
    SendEntry(1);
    EXPECT_EQ(window->PanelText(1), QStringLiteral("Error: No answer"));
    EXPECT_EQ(window->PanelText(2), QStringLiteral("38%"));
    EXPECT_EQ(Bar()->value(), 38);
    EXPECT_TRUE(SendButton()->isEnabled());
}

TEST_F(WithFakeDevice, ProgressShowsOnlySoundPercentages)
{
    struct Report
    {
        qint32 current, total;
        int bar;
        const char *panel;
    };
    const Report reports[] = {
        {1, 8, 12, "12%"},       {0, 0, 0, "0%"},
        {100, 100, 100, "100%"}, {150, 100, 100, "100%"}, // above 100: unchanged
        {5, 0, 100, "100%"},                              // no total: unchanged
        {5, -2, 100, "100%"},    {-3, 7, 0, "0%"},
    };
    for (const Report &report : reports) {
        emit fake->ProgressChanged({}, 0, report.current, report.total);
        EXPECT_EQ(Bar()->value(), report.bar) << report.current << "/" << report.total;
        EXPECT_EQ(window->PanelText(2), QString::fromLatin1(report.panel));
    }
    emit fake->StatusChanged(0, QStringLiteral("Idle"));
    emit fake->ProgressChanged({}, 0, 150, 100);
    EXPECT_EQ(window->PanelText(2), QStringLiteral("Idle"));
    emit fake->ProgressChanged({}, 0, 3, 8);
    EXPECT_EQ(window->PanelText(2), QStringLiteral("38%"));
}

TEST_F(WithFakeDevice, ARaisedErrorIsShownAndSendComesBack)
{
    fake->onExecute = [this](qint32) -> CommandResult {
        emit fake->ProgressChanged({}, 0, 1, 2);
        throw std::runtime_error("Serial port busy");
    };
    modal.OnNextDialog([this] { EXPECT_FALSE(SendButton()->isEnabled()); });
    modal.AnswerMessage(MsgAnswer::OK);
    SendEntry(0);
    ASSERT_EQ(modal.asked().size(), 1u);
    EXPECT_EQ(modal.asked()[0].title, QStringLiteral("Error Sending"));
    EXPECT_EQ(modal.asked()[0].text, QStringLiteral("Serial port busy"));
    EXPECT_EQ(modal.asked()[0].style, MsgStyle::OKOnly + MsgStyle::Information);
    EXPECT_TRUE(SendButton()->isEnabled());
    EXPECT_EQ(window->PanelText(1), QString());
    EXPECT_EQ(Bar()->value(), 50); // left as the sequence left it
    EXPECT_EQ(window->LogText(), Entry(QStringLiteral("Sending Command: \"Read ESN\"")));
}

TEST_F(WithFakeDevice, EnterSendsOnlyWhileSendIsEnabled)
{
    int nestedEnters = 0;
    fake->onExecute = [this, &nestedEnters](qint32) {
        QTest::keyClick(List(), Qt::Key_Return);
        QTest::keyClick(SendButton(), Qt::Key_Return);
        ++nestedEnters;
        return CommandResult{true, {}, {}};
    };
    List()->setCurrentIndex(3);
    QTest::keyClick(List(), Qt::Key_Return);
    EXPECT_EQ(fake->executed, (std::vector<qint32>{4}));
    EXPECT_EQ(nestedEnters, 1);
    QTest::keyClick(SendButton(), Qt::Key_Enter);
    EXPECT_EQ(fake->executed, (std::vector<qint32>{4, 4}));
}

TEST_F(WithFakeDevice, EnterDoesNotPickAnEntryFromTypedText)
{
    List()->setCurrentIndex(-1);
    List()->lineEdit()->setText(QStringLiteral("Done"));
    QTest::keyClick(List(), Qt::Key_Return);
    EXPECT_TRUE(fake->executed.empty());
    EXPECT_EQ(List()->currentIndex(), -1);
}

TEST_F(WithFakeDevice, CancelReachesTheRunningCommand)
{
    fake->onExecute = [this](qint32) {
        QMetaObject::invokeMethod(CancelButton(), &QPushButton::click, Qt::QueuedConnection);
        emit fake->ProgressChanged({}, 0, 1, 4);
        EXPECT_EQ(fake->cancels, 1);
        return CommandResult{false, QStringLiteral("Cancelled"), {}};
    };
    SendEntry(2);
    EXPECT_EQ(fake->cancels, 1);
    EXPECT_EQ(window->PanelText(1), QStringLiteral("Error: Cancelled"));
}

TEST_F(WithFakeDevice, FailuresInHandlersDoNotEndTheTester)
{
    fake->onCancel = [] { throw std::runtime_error("cancel failed"); };
    CancelButton()->click();
    EXPECT_EQ(fake->cancels, 1);
    SendEntry(0);
    EXPECT_EQ(window->PanelText(1), QStringLiteral("Success!!!"));
}

TEST_F(WithFakeDevice, ClosingWhileIdleClosesAtOnce)
{
    EXPECT_TRUE(window->close());
    EXPECT_TRUE(QTest::qWaitFor([this] { return window.isNull(); }));
}

TEST_F(WithFakeDevice, ClosingDuringARunWaitsForTheCommand)
{
    bool closedEarly = true;
    fake->onExecute = [this, &closedEarly](qint32) {
        QMetaObject::invokeMethod(window, &QWidget::close, Qt::QueuedConnection);
        emit fake->ProgressChanged({}, 0, 1, 4); // processes the close
        closedEarly = window.isNull() || !window->isVisible();
        emit fake->MessageReceived(QStringLiteral("still here"));
        return CommandResult{false, QStringLiteral("Cancelled"), {}};
    };
    SendEntry(2);
    EXPECT_FALSE(closedEarly);
    EXPECT_EQ(fake->cancels, 1);
    EXPECT_TRUE(QTest::qWaitFor([this] { return window.isNull(); }));
}

TEST_F(WithSimulatedUnit, ClosingDuringADownloadCancelsItAndEndsCleanly)
{
    QSignalSpy errors(torvane, &DeviceControl::ErrorOccurred);
    int progress = 0;
    QObject probe;
    QObject::connect(torvane, &DeviceControl::ProgressChanged, &probe, [this, &progress] {
        if (++progress == 3)
            QMetaObject::invokeMethod(window, &QWidget::close, Qt::QueuedConnection);
    });
    List()->setCurrentIndex(1); // "Download System"
    QMetaObject::invokeMethod(SendButton(), &QPushButton::click, Qt::QueuedConnection);
    ASSERT_TRUE(QTest::qWaitFor([this] { return window.isNull(); }, 20000));
    EXPECT_LE(progress, 4);
    ASSERT_EQ(errors.count(), 1);
    EXPECT_EQ(errors[0][0].toString(), QStringLiteral("Command cancelled"));
    EXPECT_EQ(errors[0][1].toString(), QStringLiteral("Download System"));
}

TEST_F(WithSimulatedUnit, CancelTakesEffectInTheMiddleOfAStream)
{
    int messages = 0;
    QObject probe;
    QObject::connect(torvane, &DeviceControl::MessageReceived, &probe, [this, &messages] {
        if (++messages == FlashDumpLines / 2)
            QMetaObject::invokeMethod(CancelButton(), &QPushButton::click, Qt::QueuedConnection);
    });
    SendEntry(10); // "Read Flash"
    EXPECT_GE(messages, FlashDumpLines / 2);
    EXPECT_LT(messages, FlashDumpLines / 2 + 100);
    EXPECT_EQ(window->PanelText(1), QStringLiteral("Error: The command was cancelled."));
    EXPECT_TRUE(window->LogText().endsWith(
        Entry(QStringLiteral("Device Error: Command cancelled occurred in: Read Flash"))));
    EXPECT_TRUE(SendButton()->isEnabled());
}

TEST_F(WithSimulatedUnit, AStreamOfTenThousandMessagesKeepsTheWindowLive)
{
    int ticks = 0;
    QTimer ticker;
    QObject::connect(&ticker, &QTimer::timeout, &ticker, [&ticks] { ++ticks; });
    ticker.start(0);
    SendEntry(10);
    ticker.stop();
    EXPECT_EQ(window->PanelText(1), QStringLiteral("Success!!!"));
    EXPECT_GT(ticks, 100); // window events ran all along the command
    const LogView *log = Find<LogView>("txtMessages");
    // An empty first line, "Sending", the line's opening and the unit's greeting of two
    // lines each, one response with its escaped breaks, the dump, and the details entry
    // of four lines.
    EXPECT_EQ(log->LineCount(), 1u + 1 + 2 + 2 + 1 + FlashDumpLines + 4);
    EXPECT_EQ(log->Caret(), log->End());
}

TEST_F(WithSimulatedUnit, EveryCommandOfTheListRunsToSuccess)
{
    for (int index = 0; index < List()->count(); ++index) {
        if (List()->itemText(index) == QStringLiteral("Read Flash"))
            continue; // the long stream has its own test
        SendEntry(index);
        EXPECT_EQ(window->PanelText(1), QStringLiteral("Success!!!")) << index;
        EXPECT_EQ(Bar()->value(), 0);
    }
    EXPECT_TRUE(window->LogText().contains(QStringLiteral("ESN: 4A7F19C2")));
}

TEST_F(WithSimulatedUnit, WithoutSimulateTheSerialLineIsUsed)
{
    torvane->SetPort(QStringLiteral("/nonexistent/ttyQ9"));
    Switch("mnuSimulate")->trigger();
    SendEntry(0);
    const QString text = QStringLiteral(
        "The serial port /nonexistent/ttyQ9 does not exist. Is the unit plugged in, and is that "
        "its port?");
    EXPECT_EQ(window->PanelText(1), QStringLiteral("Error: ") + text);
    EXPECT_TRUE(window->LogText().endsWith(
        Entry(QStringLiteral("Device Error: ") + text + QStringLiteral(" occurred in: Read ESN"))));
    EXPECT_TRUE(SendButton()->isEnabled());
}
