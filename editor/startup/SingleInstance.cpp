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

namespace singleinstance {

namespace {

// What a request starts with, so that anything else that finds the socket is ignored.
const QString Greeting = QStringLiteral("Quillon open files 1");
constexpr char Taken = '1';
// A request is a list of paths; anything far larger is not one.
constexpr qint64 MaxRequestBytes = 4 * 1024 * 1024;
// A connection that has not sent a whole request by then is dropped.
constexpr int RequestTimeoutMs = 5000;

} // namespace

QByteArray Request(const QStringList &files)
{
    QByteArray bytes;
    QDataStream out(&bytes, QIODevice::WriteOnly);
    out.setVersion(QDataStream::Qt_6_0);
    out << Greeting << files;
    return bytes;
}

namespace {

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

} // namespace

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
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
            if (socket->bytesAvailable() > MaxRequestBytes) {
                socket->abort();
                return;
            }
            QDataStream in(socket);
            in.setVersion(QDataStream::Qt_6_0);
            in.startTransaction();
            QString greeting;
            QStringList files;
            in >> greeting >> files;
            if (!in.commitTransaction())
                return; // not all there yet
            if (greeting != Greeting) {
                socket->abort();
                return;
            }
            socket->write(QByteArray(1, Taken));
            socket->flush();
            socket->disconnectFromServer();
            // Opened after the answer has gone out, so that a message box about one of
            // the files cannot keep the other start waiting.
            QMetaObject::invokeMethod(
                this, [this, files] { emit FilesReceived(files); }, Qt::QueuedConnection);
        });
    }
}

} // namespace singleinstance
