#include "PseudoTerminal.h"

#include <QSocketNotifier>

#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <stdlib.h>
#include <termios.h>
#include <unistd.h>

namespace {

// Output a tester does not read is dropped beyond this, so a unit talking to nobody
// cannot grow without end.
constexpr qsizetype MaxPending = 4 * 1024 * 1024;

QString SystemError(const char *what)
{
    return QStringLiteral("%1: %2").arg(QString::fromLatin1(what),
                                        QString::fromLocal8Bit(std::strerror(errno)));
}

} // namespace

PseudoTerminal::PseudoTerminal(QObject *parent) : QObject(parent)
{
    m_master = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (m_master < 0 || ::grantpt(m_master) != 0 || ::unlockpt(m_master) != 0) {
        m_error = SystemError("cannot make a pseudo-terminal");
        return;
    }
    const char *name = ::ptsname(m_master);
    if (!name) {
        m_error = SystemError("cannot name the pseudo-terminal");
        return;
    }
    m_slave = ::open(name, O_RDWR | O_NOCTTY | O_CLOEXEC);
    termios raw{};
    if (m_slave < 0 || ::tcgetattr(m_slave, &raw) != 0) {
        m_error = SystemError("cannot open the pseudo-terminal's line");
        return;
    }
    // Raw from the start: no echo of the unit's lines, no line editing, no CR to LF.
    ::cfmakeraw(&raw);
    ::tcsetattr(m_slave, TCSANOW, &raw);
    ::fcntl(m_master, F_SETFL, ::fcntl(m_master, F_GETFL) | O_NONBLOCK);
    m_path = QString::fromLocal8Bit(name);

    m_reader = new QSocketNotifier(m_master, QSocketNotifier::Read, this);
    connect(m_reader, &QSocketNotifier::activated, this, &PseudoTerminal::OnReadable);
    m_writer = new QSocketNotifier(m_master, QSocketNotifier::Write, this);
    m_writer->setEnabled(false);
    connect(m_writer, &QSocketNotifier::activated, this, &PseudoTerminal::Drain);
}

PseudoTerminal::~PseudoTerminal()
{
    HangUp();
}

void PseudoTerminal::Write(const QByteArray &bytes)
{
    if (m_master < 0)
        return;
    if (m_pending.size() + bytes.size() > MaxPending)
        return;
    m_pending += bytes;
    Drain();
}

void PseudoTerminal::Drain()
{
    while (!m_pending.isEmpty()) {
        const ssize_t written =
            ::write(m_master, m_pending.constData(), static_cast<std::size_t>(m_pending.size()));
        if (written < 0) {
            if (errno == EINTR)
                continue;
            break; // full for now: the notifier says when it takes more
        }
        m_pending.remove(0, written);
    }
    m_writer->setEnabled(!m_pending.isEmpty());
}

void PseudoTerminal::OnReadable()
{
    char buffer[4096];
    while (true) {
        const ssize_t count = ::read(m_master, buffer, sizeof buffer);
        if (count > 0) {
            emit Received(QByteArray(buffer, count));
            if (m_master < 0)
                return; // hung up meanwhile
            continue;
        }
        if (count < 0 && errno == EINTR)
            continue;
        return;
    }
}

void PseudoTerminal::HangUp()
{
    // This may run inside a notifier's own signal: let them go when the loop turns.
    for (QSocketNotifier *notifier : {m_reader, m_writer}) {
        if (notifier) {
            notifier->setEnabled(false);
            notifier->deleteLater();
        }
    }
    m_reader = nullptr;
    m_writer = nullptr;
    if (m_slave >= 0)
        ::close(m_slave);
    if (m_master >= 0)
        ::close(m_master);
    m_slave = -1;
    m_master = -1;
    m_pending.clear();
}
