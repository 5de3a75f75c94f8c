#pragma once
// Two connected byte streams in one process, standing in for a serial line between the
// control and its simulated unit. What one end writes the other reads, and its readyRead
// comes from the event loop afterwards, as a port's would: neither side ever runs inside
// the other's write.

#include <QByteArray>
#include <QIODevice>
#include <QPointer>

class ChannelEnd : public QIODevice
{
    Q_OBJECT

public:
    bool isSequential() const override { return true; }
    qint64 bytesAvailable() const override;

protected:
    qint64 readData(char *data, qint64 maxSize) override;
    qint64 writeData(const char *data, qint64 size) override;

private:
    friend class ByteChannel;
    using QIODevice::QIODevice;
    void Deliver(const char *data, qint64 size);
    void Notify();

    QPointer<ChannelEnd> m_peer;
    QByteArray m_incoming;
    bool m_notifying = false;
};

class ByteChannel : public QObject
{
    Q_OBJECT

public:
    explicit ByteChannel(QObject *parent = nullptr);

    // The end the control reads and writes, and the unit's.
    ChannelEnd &Host() { return *m_host; }
    ChannelEnd &Unit() { return *m_unit; }

private:
    ChannelEnd *m_host;
    ChannelEnd *m_unit;
};
