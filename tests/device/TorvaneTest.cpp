#include "Torvane.h"
#include "SimulatedUnit.h"

#include <QPointer>
#include <QSignalSpy>
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

TEST(Torvane, WithoutSimulationFailsAtOnceNamingTheSerialLine)
{
    Torvane device(QStringLiteral("9600,8,N,1"), QStringLiteral("other.cfg"));
    device.SetPace(10000); // would take hours if it waited for the pace
    QSignalSpy errors(&device, &DeviceControl::ErrorOccurred);
    const CommandResult result = device.ExecuteCommand(1);
    EXPECT_FALSE(result.Success);
    EXPECT_EQ(result.ErrorText,
              QStringLiteral("No Torvane unit answered on the serial line (9600,8,N,1)."));
    ASSERT_EQ(errors.count(), 1);
    EXPECT_EQ(errors[0][1].toString(), QStringLiteral("Read ESN"));
    EXPECT_FALSE(device.IsRunning());
}

TEST_F(SimulatedTorvane, NumbersOutsideTheTableFailClearly)
{
    for (const qint32 number : {18, 0, 23, 99, -1}) {
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
    ASSERT_EQ(messages.count(), 1 + FlashDumpLines);
    EXPECT_TRUE(messages[1][0].toString().startsWith(QStringLiteral("000000:")));
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
