#include "ByteChannel.h"

#include <QMetaObject>

#include <cstring>

qint64 ChannelEnd::bytesAvailable() const
{
    return m_incoming.size() + QIODevice::bytesAvailable();
}

qint64 ChannelEnd::readData(char *data, qint64 maxSize)
{
    const qint64 count = std::min<qint64>(maxSize, m_incoming.size());
    std::memcpy(data, m_incoming.constData(), static_cast<std::size_t>(count));
    m_incoming.remove(0, count);
    return count;
}

qint64 ChannelEnd::writeData(const char *data, qint64 size)
{
    if (!m_peer || !m_peer->isOpen())
        return -1;
    m_peer->Deliver(data, size);
    return size;
}

void ChannelEnd::Deliver(const char *data, qint64 size)
{
    m_incoming.append(data, size);
    // One notice for all the writes before the event loop turns.
    if (m_notifying)
        return;
    m_notifying = true;
    QMetaObject::invokeMethod(this, &ChannelEnd::Notify, Qt::QueuedConnection);
}

void ChannelEnd::Notify()
{
    m_notifying = false;
    if (!m_incoming.isEmpty())
        emit readyRead();
}

ByteChannel::ByteChannel(QObject *parent)
    : QObject(parent), m_host(new ChannelEnd(this)), m_unit(new ChannelEnd(this))
{
    m_host->m_peer = m_unit;
    m_unit->m_peer = m_host;
    m_host->open(QIODevice::ReadWrite | QIODevice::Unbuffered);
    m_unit->open(QIODevice::ReadWrite | QIODevice::Unbuffered);
}
