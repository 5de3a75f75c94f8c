// The tester window on a real serial line: torvane-unit on a pseudo-terminal, with
// Simulate off, as a person runs it. What each misbehaviour leaves on panel 1 and in the
// log is what the person sees.
#include "ScriptedUnit.h"
#include "TesterWindow.h"
#include "Torvane.h"
#include "UnitProcess.h"

#include <QPushButton>

#include <gtest/gtest.h>

namespace {

// The window on a serial line to a unit run for the test.
class TesterOnALine : public TesterWindow
{
protected:
    // A window whose control opens `unit`'s terminal.
    Torvane &Open(const UnitProcess &unit, int silenceMs = 5000, int abortWaitMs = 1000)
    {
        auto *device = new Torvane;
        device->SetPort(unit.Path());
        device->SetTimeLimits(silenceMs, abortWaitMs);
        TesterWindow::Open(device);
        return *device;
    }
};

} // namespace

TEST_F(TesterOnALine, ACommandRunsOnTheUnitsPortShownInTheLog)
{
    UnitProcess unit({QStringLiteral("--pace"), QStringLiteral("0")});
    ASSERT_FALSE(unit.Path().isEmpty());
    Open(unit);
    SendEntry(0); // "Read ESN"
    EXPECT_EQ(window->PanelText(1), QStringLiteral("Success!!!"));
    const QString log = window->LogText();
    EXPECT_TRUE(log.startsWith(Entry(QStringLiteral("Sending Command: \"Read ESN\"")) +
                               Entry(QStringLiteral("Line open to %1 at 115200,8,N,1: Torvane "
                                                    "TV-200 firmware 4.2 (simulated).\r\n")
                                         .arg(unit.Path()))))
        << log.toStdString();
    EXPECT_TRUE(
        log.contains(Entry(QStringLiteral("Received Response: ESN 4A7F19C2<Cr><Lf>OK<Cr><Lf>"))));
    EXPECT_TRUE(log.endsWith(QStringLiteral("-----------------------------\r\nESN: 4A7F19C2")));
}

TEST_F(TesterOnALine, EachMisbehaviourShowsItsErrorOnPanelOneAndInTheLog)
{
    struct Case
    {
        QStringList switches;
        int entry; // list index
        int silenceMs;
        int abortWaitMs;
        int cancelAtProgress; // 0: Cancel is not pressed
        QString panel;        // the start of panel 1; %1 the unit's path
        QString lastEntry;    // the start of the log's last entry, as `panel`
    };
    const std::vector<Case> cases{
        {{QStringLiteral("--slow"), QStringLiteral("2")},
         8,
         5000,
         1000,
         0,
         QStringLiteral("Success!!!"),
         QStringLiteral("These Details were returned: \r\n-----------------------------\r\n"
                        "Boot loader: 1.08")},
        {{QStringLiteral("--pace"), QStringLiteral("2")},
         1,
         5000,
         1000,
         10,
         QStringLiteral("Error: The command was cancelled."),
         QStringLiteral("Device Error: Command cancelled occurred in: Download System")},
        {{QStringLiteral("--silent-after"), QStringLiteral("6")},
         1,
         300,
         1000,
         0,
         QStringLiteral("Error: The unit stopped answering: nothing came on %1 at 115200,8,N,1 "
                        "for 300 ms."),
         QStringLiteral("Device Error: The unit stopped answering")},
        {{QStringLiteral("--garble"), QStringLiteral("3")},
         0,
         5000,
         1000,
         0,
         QStringLiteral("Error: The unit sent a line that could not be read"),
         QStringLiteral("Device Error: The unit sent a line that could not be read")},
        {{QStringLiteral("--error-after"), QStringLiteral("3")},
         0,
         5000,
         1000,
         0,
         QStringLiteral("Error: Flash checksum mismatch at 0x01F400"),
         QStringLiteral("Device Error: Flash checksum mismatch at 0x01F400 occurred in: Read ESN")},
        {{QStringLiteral("--hang-up-after"), QStringLiteral("8"), QStringLiteral("--pace"),
          QStringLiteral("2")},
         1,
         5000,
         1000,
         0,
         // The device went away, or the unit hung up: which one the host sees first is a race.
         QStringLiteral("Error: The serial line %1 at 115200,8,N,1 was lost: the "),
         QStringLiteral("Device Error: The serial line %1 at 115200,8,N,1 was lost: the ")},
        {{QStringLiteral("--ignore-abort"), QStringLiteral("--pace"), QStringLiteral("5")},
         1,
         5000,
         200,
         3,
         QStringLiteral("Error: The command was cancelled."),
         QStringLiteral("Device Error: Command cancelled occurred in: Download System")},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.switches.join(QLatin1Char(' ')).toStdString());
        UnitProcess unit(c.switches);
        ASSERT_FALSE(unit.Path().isEmpty());
        Torvane &device = Open(unit, c.silenceMs, c.abortWaitMs);
        int progress = 0;
        QObject probe;
        QObject::connect(&device, &DeviceControl::ProgressChanged, &probe, [this, &progress, &c] {
            if (++progress == c.cancelAtProgress)
                QMetaObject::invokeMethod(CancelButton(), &QPushButton::click,
                                          Qt::QueuedConnection);
        });
        SendEntry(c.entry);
        EXPECT_TRUE(window->PanelText(1).startsWith(
            QString(c.panel).replace(QStringLiteral("%1"), unit.Path())))
            << window->PanelText(1).toStdString();
        const QString log = window->LogText();
        const QString last =
            log.mid(log.lastIndexOf(Stamp + QStringLiteral(": ")) + Stamp.size() + 2);
        EXPECT_TRUE(
            last.startsWith(QString(c.lastEntry).replace(QStringLiteral("%1"), unit.Path())))
            << last.toStdString();
        EXPECT_TRUE(SendButton()->isEnabled());
        if (c.abortWaitMs == 200) {
            EXPECT_TRUE(log.contains(Entry(QStringLiteral(
                "Device Error: The unit did not confirm the abort within 200 ms; the line was "
                "closed. occurred in: Download System"))));
        }
        delete window.data();
    }
}

TEST_F(TesterOnALine, ControlCharactersFromTheUnitShowAsMarkers)
{
    ScriptedUnit unit;
    ASSERT_FALSE(unit.Path().isEmpty());
    unit.answer = [](const std::string &request) {
        if (request == "HELLO 1")
            return QByteArray("HELLO 1 Scripted unit\r\n");
        return QByteArray("STATUS st\\x00op\r\nMSG m\\x1Bsg\r\nRESP a\\x00b\\x01\\x7F\\r\\n\r\n"
                          "FIELD f\\tx\r\nOK\r\n");
    };
    auto *device = new Torvane;
    device->SetPort(unit.Path());
    TesterWindow::Open(device);
    SendEntry(0);
    EXPECT_EQ(window->PanelText(1), QStringLiteral("Success!!!"));
    const QString log = window->LogText();
    EXPECT_TRUE(log.contains(Entry(QStringLiteral("m<0x1B>sg"))));
    EXPECT_TRUE(
        log.contains(Entry(QStringLiteral("Received Response: a<Nul>b<0x01><0x7F><Cr><Lf>"))));
    EXPECT_TRUE(log.endsWith(QStringLiteral("-\r\nf<Tab>x"))) << log.toStdString();
    EXPECT_FALSE(log.contains(QChar(0)));
    EXPECT_EQ(window->PanelText(2), QStringLiteral("st<Nul>op"));
}
