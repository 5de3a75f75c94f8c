#pragma once
// The line to a unit: the serial port, or the in-process channel to the simulated unit.
// It opens and closes, writes host lines, cuts what comes into protocol lines and keeps
// the time of the last byte. Lines are handed on only while a request is open; whatever
// comes while none is open is a stray, counted and dropped here, so it can never reach a
// later command.

#include "LineFramer.h"
#include "Lines.h"
#include "UnitEngine.h"

#include <QElapsedTimer>
#include <QObject>
#include <QPointer>
#include <QString>

#include <optional>
#include <string>

class ByteChannel;
class QIODevice;
class QSerialPort;

class UnitLink : public QObject
{
    Q_OBJECT

public:
    // Lines the unit sent while no request was open.
    struct Strays
    {
        int count = 0;
        std::string first; // as a person can read it
    };

    explicit UnitLink(QObject *parent = nullptr);

    // Opens the serial port `port` (empty: the only one present); the reason when not.
    QString OpenSerial(const QString &commsettings, const QString &port);
    // Opens a channel to a fresh simulated unit.
    void OpenChannel(int pace, const UnitMisbehaviour &misbehaviour = {});
    void Close();

    bool IsOpen() const { return m_device != nullptr; }
    bool IsSimulated() const { return m_simulated; }
    // The port and its settings, or the simulated unit, for reports.
    QString Name() const { return m_name; }
    UnitEngine *Unit() const { return m_unit; }

    bool Write(const protocol::HostLine &line);
    // Tells a unit that the host has given up on its command, then closes the line. A
    // failed write is no second error: the line goes either way.
    void AbortAndClose();

    // While a request is open, lines wait for Next(); otherwise they are strays.
    void SetRequestOpen(bool open);
    // The next whole line of the open request's answer, reading what the line holds.
    std::optional<protocol::FramedLine> Next();
    // Takes the strays seen since the last call, an unfinished line among them.
    std::optional<Strays> TakeStrays();

    // Nanoseconds since the last byte came, or since Restart() if none came since.
    qint64 SinceLastByte() const { return m_lastByte.nsecsElapsed(); }
    void RestartClock() { m_lastByte.restart(); }

signals:
    // Bytes came while a request was open.
    void Readable();
    // The port failed while open and has been closed; the sentence says why.
    void Lost(const QString &reason);

private:
    void OnReadyRead();
    void OnPortError();
    bool TakeBytes();
    void CollectStrays();
    void NoteStray(std::string_view text);

    QIODevice *m_device = nullptr; // null when closed
    QSerialPort *m_port = nullptr;
    QPointer<ByteChannel> m_channel;
    QPointer<UnitEngine> m_unit;
    bool m_simulated = false;
    QString m_name;
    QString m_path;
    protocol::LineFramer m_framer;
    bool m_requestOpen = false;
    Strays m_strays;
    QElapsedTimer m_lastByte;
};
