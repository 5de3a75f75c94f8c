#pragma once
// One editor frame a user and display: the first start listens on a local socket in the user's own
// runtime folder, and a later start that names files hands them to it and ends.

#include <QObject>
#include <QStringList>

#include <memory>

class QSocketNotifier;

namespace localsocket {
class Listener;
}

namespace singleinstance {

class PendingRequest;

// The socket's path, in the user's runtime folder ($XDG_RUNTIME_DIR, which only the
// user can enter), named for the display the editor shows on.
QString ServerName();

// The bytes of a request that hands `files` over: a fixed greeting and the length of what
// follows, so that the editor can refuse a request far larger than any start sends before
// it reads it.
QByteArray Request(const QStringList &files);

// The largest request an editor takes, and the longest path in one: no system names a
// file with a longer path, and a request of a few thousand such paths stays below it.
inline constexpr qint64 MaxRequestBytes = 1024 * 1024;
inline constexpr qsizetype MaxPathLength = 4096;

// How long a start waits for the running editor to take its files. The editor answers
// before it opens anything, so only an editor that is stuck takes this long.
inline constexpr int AnswerWaitMs = 15000;

enum class HandOver {
    Done,        // the running editor took the files
    NoneRunning, // nobody listens: start normally
    NoAnswer,    // somebody listens but did not say it took them: whether it opens them
                 // later cannot be known, so the start must not open them as well
};

// Sends `files` to the running editor and waits up to `timeoutMs` for its answer. Waits
// in a local event loop rather than blocking, so that this program's own events (and a
// server in this same program) go on meanwhile. Files too many for one request go in
// several, one after another.
HandOver HandOverFiles(const QStringList &files, int timeoutMs = AnswerWaitMs);

// The running editor's end of the socket.
class InstanceServer : public QObject
{
    Q_OBJECT

public:
    explicit InstanceServer(QObject *parent = nullptr);
    ~InstanceServer() override;

    // Starts listening. A socket file left by an editor that crashed is removed first;
    // one that an editor still answers on is left alone, and this returns false, as it
    // does for anything in the socket's place that is not a socket, and for a runtime
    // folder too deep for a socket's address.
    bool Listen();
    bool IsListening() const;

signals:
    // Files other starts handed over, in their order, as absolute paths; empty for a
    // start that named none. Emitted after every start it stands for has had its answer.
    void FilesReceived(const QStringList &files);

private:
    void Accept();
    void Read(PendingRequest *request);

    QStringList m_received;
    bool m_openQueued = false;

    std::unique_ptr<localsocket::Listener> m_listener;
    QSocketNotifier *m_accepting = nullptr;
};

} // namespace singleinstance
