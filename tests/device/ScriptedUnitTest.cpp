// The control against a unit in this process on a pseudo-terminal that answers as a test
// scripts it: given answers for the faults a firmware author may commit, and random ones
// that check the one rule a tester must keep, that a command shows only what the unit
// sent for it.
#include "ScriptedUnit.h"
#include "Torvane.h"

#include <QTest>

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <random>

namespace {

std::unique_ptr<Torvane> LineTo(const ScriptedUnit &unit, int silenceMs)
{
    auto device = std::make_unique<Torvane>();
    device->SetPort(unit.Path());
    device->SetTimeLimits(silenceMs, 200);
    return device;
}

QByteArray Greeting(const std::string &request)
{
    return request == "HELLO 1" ? QByteArray("HELLO 1 Scripted unit\r\n") : QByteArray();
}

} // namespace

TEST(ScriptedUnit, FaultsOfAUnitEndTheCommandAndTheNextStartsClean)
{
    struct Case
    {
        const char *hello;   // the answer to HELLO
        const char *command; // the answer to the first CMD
        QString says;        // the start of the first command's error; empty for success
        bool reopened;       // the second command shook hands again
    };
    const std::vector<Case> cases{
        {"HELLO 1 Scripted unit\r\n", "ABORTED\r\n",
         QStringLiteral("The unit sent a line out of place: \"ABORTED\""), true},
        {"HELLO 1 Scripted unit\r\n", "HELLO 1 again\r\n",
         QStringLiteral("The unit sent a line out of place: \"HELLO 1 again\""), true},
        {"HELLO 1 Scripted unit\r\n", "OK extra\r\n",
         QStringLiteral("The unit sent a line that could not be read (more arguments than "
                        "allowed in an OK line): \"OK extra\""),
         true},
        {"FAIL\r\n", "", QStringLiteral("The unit refused the handshake without saying why."),
         true},
        {"HELLO 1 Scripted unit\r\nOK\r\n", "",
         QStringLiteral("The unit sent a line out of place: \"OK\""), true},
        {"HELLO 1 Scripted unit\r\n", "OK\r\nMSG late\r\n", {}, true},
        {"HELLO 1 Scripted unit\r\n", "OK\r\n", {}, false},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(std::string(c.hello) + " / " + c.command);
        ScriptedUnit unit;
        ASSERT_FALSE(unit.Path().isEmpty());
        bool first = true;
        unit.answer = [&c, &first](const std::string &request) {
            if (request == "HELLO 1")
                return first ? QByteArray(c.hello) : Greeting(request);
            if (request.rfind("CMD ", 0) != 0)
                return QByteArray();
            return std::exchange(first, false) ? QByteArray(c.command)
                                               : QByteArray("FIELD mine\r\nOK\r\n");
        };
        const std::unique_ptr<Torvane> device = LineTo(unit, 300);
        const CommandResult result = device->ExecuteCommand(1);
        EXPECT_EQ(result.Success, c.says.isEmpty()) << result.ErrorText.toStdString();
        EXPECT_TRUE(result.ErrorText.startsWith(c.says)) << result.ErrorText.toStdString();
        // A command that ran and broke the protocol is aborted before the line closes.
        const bool abort = c.command[0] != '\0' && !c.says.isEmpty();
        EXPECT_EQ(
            QTest::qWaitFor(
                [&unit] { return std::count(unit.requests.begin(), unit.requests.end(), "ABORT"); },
                abort ? 5000 : 50),
            abort);
        first = false;
        unit.requests.clear();
        const CommandResult next = device->ExecuteCommand(9);
        EXPECT_TRUE(next.Success) << next.ErrorText.toStdString();
        EXPECT_EQ(next.Details.FieldText, QStringLiteral("mine"));
        EXPECT_EQ(!unit.requests.empty() && unit.requests.front() == "HELLO 1", c.reopened);
    }
}

TEST(ScriptedUnit, ARandomUnitNeverHasItsAnswersShownForAnotherCommand)
{
    const unsigned seed = std::random_device{}();
    SCOPED_TRACE(seed);
    std::mt19937 random(seed);
    const auto roll = [&random](int below) {
        return std::uniform_int_distribution<int>(0, below - 1)(random);
    };

    // What the unit sent for each command, every text of it marked with the command's tag.
    struct Sent
    {
        qint32 number = 0;
        QString tag;
        QStringList fields;
        QString final; // "OK", the FAIL text, or empty for none
    };
    std::vector<Sent> sent;
    const QByteArray strays[] = {"OK\r\n",          "FAIL u:stray\r\n",  "MSG u:stray\r\n",
                                 "ABORTED\r\n",     "FIELD u:stray\r\n", "\x01junk\r\n",
                                 "MSG u:unfinished"};
    ScriptedUnit unit;
    ASSERT_FALSE(unit.Path().isEmpty());
    unit.answer = [&](const std::string &request) {
        QByteArray out;
        if (request == "HELLO 1") {
            if (roll(10) == 0)
                out += "MSG u:leftover\r\nFIELD u:leftover\r\n";
            return out + (roll(30) == 0 ? "FAIL\r\n" : "HELLO 1 Random unit\r\n");
        }
        if (request.rfind("SET ", 0) == 0)
            return QByteArray("OK\r\n");
        if (request.rfind("CMD ", 0) != 0)
            return out; // ABORT: nothing runs by now
        Sent command{
            std::stoi(request.substr(4)), QStringLiteral("u:c%1:").arg(sent.size()), {}, {}};
        const QByteArray tag = command.tag.toLatin1();
        for (int i = roll(8); i > 0; --i) {
            const QByteArray text = tag + QByteArray::number(i);
            switch (roll(6)) {
            case 0:
                out += "MSG " + text + "\r\n";
                break;
            case 1:
                out += "RESP " + text + "\\r\\n\r\n";
                break;
            case 2:
                out += "STATUS " + text + "\r\n";
                break;
            case 3:
                out += "ERR place " + text + "\r\n";
                break;
            case 4:
                out += "PROG " + QByteArray::number(i) + " 8\r\n";
                break;
            default:
                out += "FIELD " + text + "\r\n";
                command.fields << QString::fromLatin1(text);
            }
        }
        const int ending = roll(20);
        if (ending < 12) {
            out += "OK\r\n";
            command.final = QStringLiteral("OK");
        } else if (ending < 16) {
            command.final = command.tag + QStringLiteral("failed");
            out += "FAIL " + command.final.toLatin1() + "\r\n";
        } else if (ending == 16) {
            out += "ABORTED\r\n";
        } else if (ending == 17) {
            out += "MSG " + tag + "\x02\r\n";
        } else if (ending == 18) {
            out += QByteArray(1100, 'M') + "\r\n";
        } else {
            // Silence: whatever came next would answer this request, stray or not.
            sent.push_back(command);
            return out;
        }
        // After its final line, lines the unit sends on its own.
        for (int i = roll(4) == 0 ? roll(3) + 1 : 0; i > 0; --i)
            out += strays[roll(std::size(strays))];
        sent.push_back(command);
        return out;
    };

    const std::unique_ptr<Torvane> device = LineTo(unit, 100);
    QStringList shown;
    QObject context;
    QObject::connect(device.get(), &DeviceControl::MessageReceived, &context,
                     [&shown](const QString &text) { shown << text; });
    QObject::connect(device.get(), &DeviceControl::ResponseReceived, &context,
                     [&shown](const QString &text) { shown << text; });
    QObject::connect(device.get(), &DeviceControl::StatusChanged, &context,
                     [&shown](qint32, const QString &text) { shown << text; });
    QObject::connect(device.get(), &DeviceControl::ErrorOccurred, &context,
                     [&shown](const QString &text, const QString &) { shown << text; });
    int successes = 0;
    for (int run = 0; run < 150; ++run) {
        SCOPED_TRACE(run);
        const qint32 number = roll(2) == 0 ? 1 : 20;
        const std::size_t before = sent.size();
        shown.clear();
        // The person's pause before the next click. Without one, a stray written with the
        // last answer may still be on its way through the terminal when the next request
        // goes out, and then nothing can tell it from that request's answer.
        QTest::qWait(5);
        const CommandResult result = device->ExecuteCommand(number);
        const bool commandSent = sent.size() == before + 1;
        ASSERT_LE(sent.size(), before + 1);
        const QString tag = commandSent ? sent.back().tag : QStringLiteral("(none)");
        for (const QString &text : shown) {
            EXPECT_TRUE(!text.startsWith(QStringLiteral("u:")) || text.startsWith(tag))
                << text.toStdString() << " shown for " << tag.toStdString();
        }
        if (!commandSent) {
            EXPECT_FALSE(result.Success);
            continue;
        }
        EXPECT_EQ(sent.back().number, number);
        if (result.Success) {
            ++successes;
            EXPECT_EQ(sent.back().final, QStringLiteral("OK"));
            EXPECT_EQ(result.Details.FieldCount, sent.back().fields.size());
            EXPECT_EQ(result.Details.FieldText, sent.back().fields.join(QStringLiteral("\r\n")));
        } else if (result.ErrorText.startsWith(QStringLiteral("u:"))) {
            EXPECT_EQ(result.ErrorText, sent.back().final);
        }
    }
    EXPECT_GT(successes, 20);
}
