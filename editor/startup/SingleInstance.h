#pragma once
// One editor frame a user and display: the first start listens on a local socket in the user's own
// runtime folder, and a later start that names files hands them to it and ends.

#include <QObject>
#include <QStringList>

class QLocalServer;

namespace singleinstance {

// The socket's path, in the user's runtime folder ($XDG_RUNTIME_DIR, which only the
// user can enter), named for the display the editor shows on.
QString ServerName();

// The bytes of a request that hands `files` over.
QByteArray Request(const QStringList &files);

enum class HandOver {
    Done,        // the running editor took the files
    NoneRunning, // nobody listens: start normally
    NoAnswer,    // somebody listens but did not answer in time: start normally
};

// Sends `files` to the running editor and waits up to `timeoutMs` for its answer. Waits
// in a local event loop rather than blocking, so that this program's own events (and a
// server in this same program) go on meanwhile.
HandOver HandOverFiles(const QStringList &files, int timeoutMs = 1000);

// The running editor's end of the socket.
class InstanceServer : public QObject
{
    Q_OBJECT

public:
    explicit InstanceServer(QObject *parent = nullptr);

    // Starts listening. A socket file left by an editor that crashed is removed first;
    // one that an editor still answers on is left alone, and this returns false.
    bool Listen();
    bool IsListening() const;

signals:
    // Files another start handed over, in its order, as absolute paths.
    void FilesReceived(const QStringList &files);

private:
    void Accept();

    QLocalServer *m_server = nullptr;
};

} // namespace singleinstance
