#include "SimulatedUnit.h"

#include <QStringList>

namespace {

using Kind = SimulatedStep::Kind;

class Script
{
public:
    explicit Script(QString command) { m_exchange.command = std::move(command); }

    Script &Status(const QString &text) { return Add({Kind::Status, text, {}, 0, 0}); }
    Script &Message(const QString &text) { return Add({Kind::Message, text, {}, 0, 0}); }
    Script &Response(const QString &text) { return Add({Kind::Response, text, {}, 0, 0}); }
    Script &Error(const QString &text, const QString &where)
    {
        return Add({Kind::Error, text, where, 0, 0});
    }
    Script &Progress(qint32 current, qint32 total)
    {
        return Add({Kind::Progress, m_exchange.command, {}, current, total});
    }
    Script &Pause() { return Add({Kind::Pause, {}, {}, 0, 0}); }

    SimulatedExchange Succeed(qint32 fieldCount = 0, const QString &fieldText = {})
    {
        m_exchange.result = {true, {}, {fieldCount, fieldText}};
        return std::move(m_exchange);
    }

private:
    Script &Add(SimulatedStep step)
    {
        m_exchange.steps.push_back(std::move(step));
        return *this;
    }

    SimulatedExchange m_exchange;
};

QString Hex(quint32 value, int digits)
{
    return QStringLiteral("%1").arg(value, digits, 16, QLatin1Char('0')).toUpper();
}

// Every exchange starts by waking the unit on its line.
Script Open(const QString &command, qint32 number, const QString &line, const QString &settings)
{
    Script script(command);
    script.Status(QStringLiteral("Connecting"))
        .Message(QStringLiteral("Simulated Torvane on %1\r\nInit settings: %2").arg(line, settings))
        .Response(QStringLiteral("CMD %1\r\nACK\r\n").arg(number))
        .Status(QStringLiteral("Connected"))
        .Pause();
    return script;
}

// A small read: one request, one answer.
SimulatedExchange Read(Script script, const QString &asking, const QString &answer,
                       qint32 fieldCount, const QString &fieldText)
{
    script.Message(asking).Progress(1, 2).Pause();
    script.Response(answer).Progress(2, 2).Status(QStringLiteral("Idle"));
    return script.Succeed(fieldCount, fieldText);
}

// A block transfer that takes a few seconds at the normal pace.
Script Transfer(Script script, const QString &what, qint32 blocks)
{
    script.Status(QStringLiteral("Transferring")).Message(QStringLiteral("Starting %1").arg(what));
    for (qint32 block = 1; block <= blocks; ++block) {
        if (block % 20 == 0) {
            script.Response(
                QStringLiteral("BLK %1\r\nACK\r\n").arg(block, 4, 10, QLatin1Char('0')));
            script.Message(QStringLiteral("%1 of %2 blocks").arg(block).arg(blocks));
        }
        script.Progress(block, blocks).Pause();
    }
    script.Message(QStringLiteral("%1 complete\nChecksum verified").arg(what))
        .Status(QStringLiteral("Idle"));
    return script;
}

// The flash dump streams one message per 16 bytes, many to a portion.
SimulatedExchange ReadFlash(Script script)
{
    constexpr int perPortion = 50;
    script.Status(QStringLiteral("Reading flash"));
    quint32 checksum = 0;
    for (int line = 0; line < FlashDumpLines; ++line) {
        QString text = Hex(static_cast<quint32>(line) * 16u, 6) + QLatin1Char(':');
        for (quint32 i = 0; i < 16; ++i) {
            const quint32 byte = (static_cast<quint32>(line) * 31u + i * 7u) & 0xFFu;
            checksum = (checksum + byte) & 0xFFFFu;
            text += QLatin1Char(' ') + Hex(byte, 2);
        }
        script.Message(text);
        if ((line + 1) % perPortion == 0)
            script.Progress(line + 1, FlashDumpLines).Pause();
    }
    script.Status(QStringLiteral("Idle"));
    return script.Succeed(2, QStringLiteral("Bytes read: %1\r\nChecksum: %2")
                                 .arg(FlashDumpLines * 16)
                                 .arg(Hex(checksum, 4)));
}

SimulatedExchange GpsData(Script script)
{
    const QStringList sentences{
        QStringLiteral("$GPGGA,070340,4807.038,N,01131.000,E,1,07,0.9,545.4,M,46.9,M,,*47"),
        QStringLiteral("$GPRMC,070340,A,4807.038,N,01131.000,E,022.4,084.4,071226,003.1,W*6A"),
        QStringLiteral("$GPGSA,A,3,04,05,,09,12,,,24,,,,,2.5,1.3,2.1*39")};
    script.Message(QStringLiteral("Listening to the GPS receiver")).Progress(1, 4).Pause();
    script.Response(sentences[0] + QStringLiteral("\r\n") + sentences[1] + QStringLiteral("\r\n"))
        .Progress(2, 4)
        .Pause();
    script.Error(QStringLiteral("Checksum mismatch, sentence dropped"), QStringLiteral("GPS Data"))
        .Response(sentences[2] + QStringLiteral("\r\n"))
        .Progress(3, 4)
        .Pause();
    script.Message(QStringLiteral("Fix: 3D\r\nSatellites in use: 7")).Progress(4, 4);
    script.Status(QStringLiteral("Idle"));
    return script.Succeed(3, QStringLiteral("Latitude: 48 07.038 N\r\nLongitude: 011 31.000 E\r\n"
                                            "Altitude: 545.4 m"));
}

SimulatedExchange Steps(Script script, const QString &status, const QStringList &messages)
{
    script.Status(status);
    const qint32 total = static_cast<qint32>(messages.size());
    for (qint32 i = 0; i < total; ++i)
        script.Message(messages[i]).Progress(i + 1, total).Pause();
    script.Status(QStringLiteral("Idle"));
    return script.Succeed();
}

} // namespace

std::optional<SimulatedExchange> SimulatedExchangeFor(qint32 number, const QString &line,
                                                      const QString &settings)
{
    const auto open = [number, &line, &settings](const char *name) {
        return Open(QString::fromLatin1(name), number, line, settings);
    };
    switch (number) {
    case 1:
        return Read(open("Read ESN"), QStringLiteral("Requesting the electronic serial number"),
                    QStringLiteral("ESN 4A7F19C2\r\nOK\r\n"), 1, QStringLiteral("ESN: 4A7F19C2"));
    case 2:
        return Transfer(open("Download System"), QStringLiteral("system download"), 120).Succeed();
    case 3:
        return Transfer(open("Upload System"), QStringLiteral("system upload"), 120).Succeed();
    case 4:
        return Transfer(open("Download User Data"), QStringLiteral("user data download"), 80)
            .Succeed();
    case 5:
        return Transfer(open("Upload User Data"), QStringLiteral("user data upload"), 80).Succeed();
    case 6:
        return Transfer(open("Download System Prefs"), QStringLiteral("preferences download"), 40)
            .Succeed();
    case 7:
        return Read(open("Read GPS Version"), QStringLiteral("Asking the GPS receiver its version"),
                    QStringLiteral("GPSVER 3.21.7\r\nOK\r\n"), 2,
                    QStringLiteral("GPS firmware: 3.21.7\r\nGPS build: 2026-11-02"));
    case 8:
        return Read(open("Read Satellite Signal"), QStringLiteral("Measuring satellite signals"),
                    QStringLiteral("SIG 04:41 05:38 09:44 12:29\r\nOK\r\n"), 4,
                    QStringLiteral("Satellite 04: 41 dB\r\nSatellite 05: 38 dB\r\n"
                                   "Satellite 09: 44 dB\r\nSatellite 12: 29 dB"));
    case 9:
        return Read(open("Read Boot Version"), QStringLiteral("Asking the boot loader its version"),
                    QStringLiteral("BOOTVER 1.08\r\nOK\r\n"), 1,
                    QStringLiteral("Boot loader: 1.08"));
    case 10:
        return Transfer(open("Read Boot"), QStringLiteral("boot block read"), 40)
            .Succeed(2, QStringLiteral("Bytes read: 16384\r\nChecksum: 3C5A"));
    case 11:
        return ReadFlash(open("Read Flash"));
    case 12:
        return Transfer(open("Read User Flash"), QStringLiteral("user flash read"), 60)
            .Succeed(2, QStringLiteral("Bytes read: 65536\r\nChecksum: 91E4"));
    case 13:
        return Steps(open("Clear User Data"), QStringLiteral("Erasing"),
                     {QStringLiteral("Erasing user block 1"),
                      QStringLiteral("Erasing user block 2"),
                      QStringLiteral("Erasing user block 3"), QStringLiteral("User data cleared")});
    case 14:
    case 15:
    case 16: {
        const QString name = QStringLiteral("Write User Block %1").arg(number - 13);
        return Transfer(Open(name, number, line, settings),
                        QStringLiteral("user block %1 write").arg(number - 13), 30)
            .Succeed();
    }
    case 17:
        return Transfer(open("Write New App"), QStringLiteral("application write"), 150).Succeed();
    case 19:
        return Transfer(open("Write System Prefs"), QStringLiteral("preferences write"), 40)
            .Succeed();
    case 20:
        return GpsData(open("GPS Data"));
    case 21:
        return Steps(open("Init GPS"), QStringLiteral("Initialising GPS"),
                     {QStringLiteral("Cold start requested\nAlmanac cleared"),
                      QStringLiteral("Searching for satellites"),
                      QStringLiteral("Waiting for a fix\rFix acquired")});
    case 22:
        return Steps(open("Done"), QStringLiteral("Closing"), {QStringLiteral("Session closed")});
    default:
        return std::nullopt;
    }
}
