#include "Torvane.h"
#include "SerialLine.h"
#include "SimulatedUnit.h"

#include <QFile>
#include <QPointer>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTimer>

#include <gtest/gtest.h>

namespace {

const std::vector<qint32> TableNumbers{1,  2,  3,  4,  5,  6,  7,  8,  9,  10, 11,
                                       12, 13, 14, 15, 16, 17, 19, 20, 21, 22};

class SimulatedTorvane : public ::testing::Test
{
protected:
    SimulatedTorvane()
    {
        device.SetPace(0);
        device.SetSimulate(true);
    }

    Torvane device;
};

} // namespace

TEST(Torvane, StartsWithItsStoredSettingsAndNoSimulation)
{
    Torvane device;
    EXPECT_EQ(device.commsettings(), QStringLiteral("115200,8,N,1"));
    EXPECT_EQ(device.initfile(), QStringLiteral("init.cfg"));
    EXPECT_FALSE(device.Simulate());
    EXPECT_FALSE(device.property("Simulate").toBool());
    EXPECT_TRUE(device.setProperty("Simulate", true));
    EXPECT_TRUE(device.Simulate());
}

TEST(Torvane, EveryFailureToOpenTheLineEndsTheCommandWithItsReason)
{
    QTemporaryDir scratch;
    ASSERT_TRUE(scratch.isValid());
    const QString plainFile = scratch.filePath(QStringLiteral("not-a-port"));
    QFile file(plainFile);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();

    struct Case
    {
        QString commsettings;
        QString port;
        QString says;
    };
    const std::vector<Case> cases{
        {QStringLiteral("115200,8,X,1"), QStringLiteral("/dev/null"),
         QStringLiteral("Serial settings \"115200,8,X,1\": parity must be N, E, O, M or S, not "
                        "\"X\".")},
        {QStringLiteral("115200,8,N"), QStringLiteral("/dev/null"),
         QStringLiteral("Serial settings \"115200,8,N\": expected four values")},
        {QStringLiteral("115200,4,N,1"), QStringLiteral("/dev/null"),
         QStringLiteral("Serial settings \"115200,4,N,1\": data bits must be 5, 6, 7 or 8, not "
                        "\"4\".")},
        {Torvane::DefaultCommSettings, QStringLiteral("/nonexistent/ttyQ9"),
         QStringLiteral("The serial port /nonexistent/ttyQ9 does not exist.")},
        {Torvane::DefaultCommSettings, plainFile,
         QStringLiteral("The serial port %1 ").arg(plainFile)},
    };
    for (const Case &c : cases) {
        Torvane device(c.commsettings);
        device.SetPort(c.port);
        QSignalSpy errors(&device, &DeviceControl::ErrorOccurred);
        const CommandResult result = device.ExecuteCommand(1);
        EXPECT_FALSE(result.Success);
        EXPECT_TRUE(result.ErrorText.startsWith(c.says)) << result.ErrorText.toStdString();
        ASSERT_EQ(errors.count(), 1) << c.says.toStdString();
        EXPECT_EQ(errors[0][0].toString(), result.ErrorText);
        EXPECT_EQ(errors[0][1].toString(), QStringLiteral("Read ESN"));
        EXPECT_FALSE(device.IsRunning());
        EXPECT_FALSE(device.IsLineOpen());
    }
}

TEST(Torvane, WithoutAPortGivenTakesTheOnlyOneOrListsThemAll)
{
    struct Case
    {
        QString given;
        QStringList present; // the ports the system lists
        QString chosen;
        QString says;
    };
    const QString usb0 = QStringLiteral("/dev/ttyUSB0");
    const QString usb7 = QStringLiteral("/dev/ttyUSB7");
    const QStringList two{QStringLiteral("/dev/ttyS0"), usb0};
    const std::vector<Case> cases{
        {{}, {usb0}, usb0, {}},
        {{},
         {},
         {},
         QStringLiteral("No serial port found. Start Probator with --port and the unit's port, "
                        "for example: probator --port /dev/ttyUSB0")},
        {{},
         two,
         {},
         QStringLiteral("Several serial ports found (/dev/ttyS0, /dev/ttyUSB0). Start Probator "
                        "with --port and the unit's, for example: probator --port /dev/ttyS0")},
        {usb7, two, usb7, {}},
        {usb7, {}, usb7, {}},
    };
    for (const Case &c : cases) {
        QString chosen;
        EXPECT_EQ(serialline::ChoosePort(c.given, c.present, chosen), c.says);
        EXPECT_EQ(chosen, c.chosen) << c.present.join(u' ').toStdString();
    }
    // A port given is taken without asking the system for its list.
    QString chosen;
    EXPECT_TRUE(serialline::ChoosePort(usb7, chosen).isEmpty());
    EXPECT_EQ(chosen, usb7);
}

TEST(Torvane, PermissionAdviceNamesTheGroupThatOwnsThePort)
{
    // /dev/null belongs to root's group everywhere.
    const QString advice = serialline::PermissionAdvice(QStringLiteral("/dev/null"));
    EXPECT_TRUE(
        advice.contains(QStringLiteral("Permission denied opening the serial port /dev/null")));
    EXPECT_TRUE(advice.contains(QStringLiteral("group \"root\"")));
    EXPECT_TRUE(advice.contains(QStringLiteral("usermod -aG root")));
}

TEST_F(SimulatedTorvane, NumbersOutsideTheTableFailClearly)
{
    for (const qint32 number : {18, 0, 23, 99, -1, INT32_MIN, INT32_MAX}) {
        const CommandResult result = device.ExecuteCommand(number);
        EXPECT_FALSE(result.Success) << number;
        EXPECT_TRUE(result.ErrorText.contains(QString::number(number))) << number;
        EXPECT_TRUE(result.ErrorText.contains(QStringLiteral("1 to 17 and 19 to 22")));
    }
}

TEST_F(SimulatedTorvane, EveryTableCommandHasABelievableExchange)
{
    bool sawMultiLineMessage = false;
    bool sawCrLfResponse = false;
    for (const qint32 number : TableNumbers) {
        QSignalSpy statuses(&device, &DeviceControl::StatusChanged);
        QSignalSpy messages(&device, &DeviceControl::MessageReceived);
        QSignalSpy responses(&device, &DeviceControl::ResponseReceived);
        QSignalSpy progress(&device, &DeviceControl::ProgressChanged);
        const CommandResult result = device.ExecuteCommand(number);
        EXPECT_TRUE(result.Success) << number;
        EXPECT_GE(statuses.count(), 2) << number;
        EXPECT_GE(messages.count(), 1) << number;
        EXPECT_GE(responses.count(), 1) << number;
        ASSERT_GE(progress.count(), 1) << number;
        // Counts rise to the total, so the bar ends full.
        const QList<QVariant> last = progress.last();
        EXPECT_EQ(last[2].toInt(), last[3].toInt()) << number;
        for (const QList<QVariant> &message : messages)
            sawMultiLineMessage |= message[0].toString().contains(QLatin1Char('\n'));
        for (const QList<QVariant> &response : responses)
            sawCrLfResponse |= response[0].toString().contains(QStringLiteral("\r\n"));
        // The count of fields is the count of lines the text holds.
        if (result.Details.FieldCount > 0) {
            EXPECT_EQ(result.Details.FieldText.count(QStringLiteral("\r\n")) + 1,
                      result.Details.FieldCount)
                << number;
        } else {
            EXPECT_TRUE(result.Details.FieldText.isEmpty()) << number;
        }
    }
    EXPECT_TRUE(sawMultiLineMessage);
    EXPECT_TRUE(sawCrLfResponse);
}

TEST_F(SimulatedTorvane, ReadCommandsReturnFields)
{
    const CommandResult esn = device.ExecuteCommand(1);
    EXPECT_EQ(esn.Details.FieldCount, 1);
    EXPECT_TRUE(esn.Details.FieldText.startsWith(QStringLiteral("ESN: ")));
    for (const qint32 number : {7, 8, 9, 10, 11, 12, 20})
        EXPECT_GT(device.ExecuteCommand(number).Details.FieldCount, 0) << number;
    EXPECT_EQ(device.ExecuteCommand(13).Details.FieldCount, 0);
}

TEST_F(SimulatedTorvane, EventsArriveWhileTheCommandRuns)
{
    int outside = 0;
    QObject probe;
    QObject::connect(&device, &DeviceControl::MessageReceived, &probe,
                     [this, &outside] { outside += device.IsRunning() ? 0 : 1; });
    QObject::connect(&device, &DeviceControl::ProgressChanged, &probe,
                     [this, &outside] { outside += device.IsRunning() ? 0 : 1; });
    EXPECT_TRUE(device.ExecuteCommand(2).Success);
    EXPECT_EQ(outside, 0);
}

TEST_F(SimulatedTorvane, FlashStreamsItsDumpInOrder)
{
    QSignalSpy messages(&device, &DeviceControl::MessageReceived);
    EXPECT_TRUE(device.ExecuteCommand(11).Success);
    // The line's opening, the unit's greeting, then the dump.
    ASSERT_EQ(messages.count(), 2 + FlashDumpLines);
    EXPECT_TRUE(
        messages[0][0].toString().startsWith(QStringLiteral("Line open to the simulated unit")));
    EXPECT_TRUE(messages[2][0].toString().startsWith(QStringLiteral("000000:")));
    EXPECT_TRUE(messages.last()[0].toString().startsWith(QStringLiteral("0270F0:")));
}

TEST_F(SimulatedTorvane, CancelFromAnEventEndsTheCommandThere)
{
    QSignalSpy errors(&device, &DeviceControl::ErrorOccurred);
    int progress = 0;
    QObject probe;
    QObject::connect(&device, &DeviceControl::ProgressChanged, &probe, [this, &progress] {
        if (++progress == 3)
            device.CancelCommand();
    });
    const CommandResult result = device.ExecuteCommand(2);
    EXPECT_FALSE(result.Success);
    EXPECT_EQ(result.ErrorText, QStringLiteral("The command was cancelled."));
    EXPECT_EQ(progress, 3);
    ASSERT_EQ(errors.count(), 1);
    EXPECT_EQ(errors[0][0].toString(), QStringLiteral("Command cancelled"));
    EXPECT_EQ(errors[0][1].toString(), QStringLiteral("Download System"));
    EXPECT_FALSE(device.IsRunning());
}

TEST_F(SimulatedTorvane, CancelBetweenPortionsEndsPromptly)
{
    device.SetPace(60000); // the next portion would come in a minute
    QTimer::singleShot(0, &device, [this] { device.CancelCommand(); });
    QSignalSpy progress(&device, &DeviceControl::ProgressChanged);
    const CommandResult result = device.ExecuteCommand(17);
    EXPECT_FALSE(result.Success);
    EXPECT_EQ(progress.count(), 0);
}

TEST_F(SimulatedTorvane, CancelWhileIdleIsHarmless)
{
    device.CancelCommand();
    EXPECT_TRUE(device.ExecuteCommand(1).Success);
    device.CancelCommand();
    EXPECT_TRUE(device.ExecuteCommand(22).Success);
}

TEST_F(SimulatedTorvane, ASecondCommandWaitsItsTurn)
{
    std::optional<CommandResult> nested;
    QObject probe;
    QObject::connect(&device, &DeviceControl::MessageReceived, &probe, [this, &nested] {
        if (!nested)
            nested = device.ExecuteCommand(1);
    });
    EXPECT_TRUE(device.ExecuteCommand(9).Success);
    ASSERT_TRUE(nested);
    EXPECT_FALSE(nested->Success);
    EXPECT_EQ(nested->ErrorText, QStringLiteral("Another command is still running."));
}

TEST(Torvane, DestroyedDuringACommandItsCallReturns)
{
    auto *device = new Torvane;
    device->SetPace(0);
    device->SetSimulate(true);
    QPointer<Torvane> watch(device);
    QObject probe;
    QObject::connect(device, &DeviceControl::ProgressChanged, &probe, [device] { delete device; });
    const CommandResult result = device->ExecuteCommand(2);
    EXPECT_TRUE(watch.isNull());
    EXPECT_FALSE(result.Success);
}

TEST(SimulatedLine, SendsTheInitFileWhenItOpensAndRefusesAMalformedOne)
{
    QTemporaryDir scratch;
    ASSERT_TRUE(scratch.isValid());
    struct Case
    {
        const char *content; // nothing: no file at all
        bool success;
        QString says; // in the opening message on success, else the error text
    };
    const std::vector<Case> cases{
        {"# bench\nunit.name = Bench 3\nbacklight=40\n", true,
         QStringLiteral("init.cfg: 2 settings sent.")},
        {"", true, QStringLiteral("init.cfg: 0 settings sent.")},
        {nullptr, true, QStringLiteral("No init file (looked for ")},
        {"unit.name = Bench 3\nbacklight 40\n", false,
         QStringLiteral("init.cfg: line 2: expected name = value.")},
        {"gps.mode = cold\n", false,
         QStringLiteral("The unit refused the setting gps.mode from %1: Unknown value for "
                        "gps.mode: cold")},
        {"colour = blue\n", false,
         QStringLiteral("The unit refused the setting colour from %1: Unknown setting: colour")},
        // A name of the longest length goes out; one longer, or DEL in a value, does not.
        {"abcdefghijklmnopqrstuvwxyz.12345 = 1\n", false,
         QStringLiteral("The unit refused the setting abcdefghijklmnopqrstuvwxyz.12345 from %1: "
                        "Unknown setting: abcdefghijklmnopqrstuvwxyz.12345")},
        {"abcdefghijklmnopqrstuvwxyz.123456 = 1\n", false,
         QStringLiteral("init.cfg: line 1: the name \"abcdefghijklmnopqrstuvwxyz.123456\" is not 1 "
                        "to 32 of the characters A-Z a-z 0-9 _ . -.")},
        {"unit.name = Bench\x7F 3\n", false,
         QStringLiteral("init.cfg: line 1: the value of unit.name holds a control character.")},
    };
    for (const Case &c : cases) {
        const QString path = scratch.filePath(QStringLiteral("init.cfg"));
        QFile::remove(path);
        if (c.content) {
            QFile file(path);
            ASSERT_TRUE(file.open(QIODevice::WriteOnly));
            file.write(c.content);
        }
        Torvane device(Torvane::DefaultCommSettings, path);
        device.SetPace(0);
        device.SetSimulate(true);
        QSignalSpy messages(&device, &DeviceControl::MessageReceived);
        QSignalSpy errors(&device, &DeviceControl::ErrorOccurred);
        const CommandResult result = device.ExecuteCommand(9);
        const QString says = c.says.contains(QStringLiteral("%1")) ? c.says.arg(path) : c.says;
        EXPECT_EQ(result.Success, c.success) << c.says.toStdString();
        EXPECT_EQ(device.IsLineOpen(), c.success);
        if (c.success) {
            ASSERT_GE(messages.count(), 1);
            EXPECT_TRUE(messages[0][0].toString().contains(says))
                << messages[0][0].toString().toStdString();
            EXPECT_EQ(errors.count(), 0);
        } else {
            EXPECT_TRUE(result.ErrorText.endsWith(says)) << result.ErrorText.toStdString();
            ASSERT_EQ(errors.count(), 1);
            EXPECT_EQ(errors[0][0].toString(), result.ErrorText);
            EXPECT_EQ(messages.count(), 0);
        }
    }
}

TEST_F(SimulatedTorvane, TheUnitGreetsWithTheSettingsItReceived)
{
    QTemporaryDir scratch;
    const QString path = scratch.filePath(QStringLiteral("init.cfg"));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("unit.name = Bench 3\ntimezone = CET\n");
    file.close();
    Torvane withFile(Torvane::DefaultCommSettings, path);
    withFile.SetPace(0);
    withFile.SetSimulate(true);
    QSignalSpy messages(&withFile, &DeviceControl::MessageReceived);
    ASSERT_TRUE(withFile.ExecuteCommand(1).Success);
    ASSERT_GE(messages.count(), 2);
    EXPECT_TRUE(messages[1][0].toString().endsWith(
        QStringLiteral("Init settings: 2 (unit.name, timezone)")))
        << messages[1][0].toString().toStdString();
    // The line stays open: the next command neither opens it nor sends the file again.
    messages.clear();
    ASSERT_TRUE(withFile.ExecuteCommand(1).Success);
    EXPECT_TRUE(messages[0][0].toString().startsWith(QStringLiteral("Simulated Torvane")));
}
