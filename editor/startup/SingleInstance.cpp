#include "SingleInstance.h"

#include <QDataStream>
#include <QEventLoop>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>
#include <QPointer>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTimer>

#include <utility>

namespace singleinstance {

namespace {

// What a request starts with, so that anything else that finds the socket is ignored.
const QByteArray Greeting = QByteArrayLiteral("Quillon open files 2\n");
constexpr char Taken = '1';
// The greeting, then the length of the list that follows.
const qint64 HeaderBytes = Greeting.size() + 4;
// A connection that has not sent a whole request by then is dropped.
constexpr int RequestTimeoutMs = 5000;

QByteArray List(const QStringList &files)
{
    QByteArray bytes;
    QDataStream out(&bytes, QIODevice::WriteOnly);
    out.setVersion(QDataStream::Qt_6_0);
    out << files;
    return bytes;
}

// Whether an editor is listening on `name` now. A connection to a local socket is taken
// by the system as soon as somebody listens, before the program accepts it.
bool SomebodyListens(const QString &name)
{
    QLocalSocket probe;
    probe.connectToServer(name);
    const bool listening = probe.waitForConnected(200);
    probe.abort();
    return listening;
}

// The files split into requests that each stay within the editor's limit.
QList<QStringList> Requests(const QStringList &files)
{
    QList<QStringList> requests{{}};
    qint64 size = 4;
    for (const QString &file : files) {
        const qint64 bytes = 4 + 2 * file.size();
        if (size + bytes > MaxRequestBytes - HeaderBytes && !requests.last().isEmpty()) {
            requests.append(QStringList());
            size = 4;
        }
        requests.last() << file;
        size += bytes;
    }
    return requests;
}

HandOver HandOverRequest(const QString &name, const QStringList &files, int timeoutMs)
{
    QLocalSocket socket;
    QEventLoop loop;
    bool finished = false;
    bool connected = false;
    HandOver result = HandOver::NoAnswer;
    const auto finish = [&](HandOver outcome) {
        if (finished)
            return;
        finished = true;
        result = outcome;
        loop.quit();
    };
    QObject::connect(&socket, &QLocalSocket::connected, &loop, [&] {
        connected = true;
        socket.write(Request(files));
    });
    QObject::connect(&socket, &QLocalSocket::readyRead, &loop, [&] {
        if (socket.readAll().contains(Taken))
            finish(HandOver::Done);
    });
    // Once the request may have gone out, only the editor's answer tells whether it took
    // the files: a connection that breaks before that leaves it unknown.
    QObject::connect(&socket, &QLocalSocket::errorOccurred, &loop,
                     [&] { finish(connected ? HandOver::NoAnswer : HandOver::NoneRunning); });
    QTimer::singleShot(timeoutMs, &loop, [&] { finish(HandOver::NoAnswer); });

    socket.connectToServer(name);
    // A missing or dead socket fails at once, inside connectToServer.
    if (!finished)
        loop.exec(QEventLoop::ExcludeUserInputEvents);
    socket.abort();
    return result;
}

} // namespace

QByteArray Request(const QStringList &files)
{
    const QByteArray list = List(files);
    QByteArray bytes = Greeting;
    QDataStream out(&bytes, QIODevice::Append);
    out << static_cast<quint32>(list.size());
    return bytes + list;
}

QString ServerName()
{
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (folder.isEmpty())
        return {};
    // One editor a display: a start on another display (a second seat, a remote session)
    // opens its files where it was started, not in a frame on a screen nobody is at.
    // ":0" and ":0.0" are the same display.
    QString display = qEnvironmentVariable("WAYLAND_DISPLAY");
    if (display.isEmpty()) {
        display = qEnvironmentVariable("DISPLAY");
        display.remove(QRegularExpression(QStringLiteral("\\.[0-9]+$")));
    }
    display.replace(QRegularExpression(QStringLiteral("[^A-Za-z0-9_.-]")), QStringLiteral("_"));
    const QString name = QStringLiteral("/quillon-editor");
    return folder + (display.isEmpty() ? name : name + QLatin1Char('-') + display);
}

HandOver HandOverFiles(const QStringList &files, int timeoutMs)
{
    const QString name = ServerName();
    if (name.isEmpty())
        return HandOver::NoneRunning;
    bool first = true;
    for (const QStringList &request : Requests(files)) {
        const HandOver outcome = HandOverRequest(name, request, timeoutMs);
        // After the editor took a part, the rest cannot open here without a second frame.
        if (outcome != HandOver::Done)
            return first ? outcome : HandOver::NoAnswer;
        first = false;
    }
    return HandOver::Done;
}

InstanceServer::InstanceServer(QObject *parent) : QObject(parent), m_server(new QLocalServer(this))
{
    // Only this user may hand files over: the socket lives in the user's own runtime
    // folder and is itself closed to everybody else.
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    connect(m_server, &QLocalServer::newConnection, this, &InstanceServer::Accept);
}

bool InstanceServer::Listen()
{
    const QString name = ServerName();
    if (name.isEmpty())
        return false;
    // Two editors starting at once must not each take the other's socket for a stale one.
    QLockFile lock(name + QStringLiteral(".lock"));
    lock.tryLock(1000);
    if (SomebodyListens(name))
        return false;
    // What is left is a socket file of an editor that ended without removing it.
    QLocalServer::removeServer(name);
    return m_server->listen(name);
}

bool InstanceServer::IsListening() const
{
    return m_server->isListening();
}

void InstanceServer::Accept()
{
    while (QLocalSocket *socket = m_server->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        QTimer::singleShot(RequestTimeoutMs, socket, [socket] { socket->abort(); });
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] { Read(socket); });
    }
}

void InstanceServer::Read(QLocalSocket *socket)
{
    if (socket->bytesAvailable() < HeaderBytes)
        return;
    // Judged by its header alone: a request larger than any start sends is not read.
    const QByteArray header = socket->peek(HeaderBytes);
    quint32 length = 0;
    QDataStream sizes(header.sliced(Greeting.size()));
    sizes >> length;
    if (!header.startsWith(Greeting) || length > MaxRequestBytes - HeaderBytes ||
        socket->bytesAvailable() > HeaderBytes + length) {
        socket->abort();
        return;
    }
    if (socket->bytesAvailable() < HeaderBytes + length)
        return; // not all there yet
    socket->skip(HeaderBytes);
    QDataStream in(socket->read(length));
    in.setVersion(QDataStream::Qt_6_0);
    // Read path by path: QDataStream would make room for whatever count the list claims.
    quint32 count = 0;
    in >> count;
    bool sane = count <= length / 4;
    QStringList files;
    for (quint32 i = 0; sane && i < count; ++i) {
        QString file;
        in >> file;
        sane = in.status() == QDataStream::Ok && !file.isEmpty() && file.size() <= MaxPathLength;
        files << file;
    }
    if (in.status() != QDataStream::Ok || !in.atEnd() || !sane) {
        socket->abort();
        return;
    }
    // The answer goes out before anything is opened: the start waits for it alone, and
    // a message box about one of the files cannot keep it waiting.
    socket->write(QByteArray(1, Taken));
    socket->flush();
    socket->disconnectFromServer();
    // Starts that come together are answered first and opened together after.
    m_received += files;
    if (std::exchange(m_openQueued, true))
        return;
    QTimer::singleShot(0, this, [this] {
        m_openQueued = false;
        emit FilesReceived(std::exchange(m_received, {}));
    });
}

} // namespace singleinstance
