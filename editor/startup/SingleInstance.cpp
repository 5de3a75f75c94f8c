#include "SingleInstance.h"

#include "LocalSocket.h"

#include <QDataStream>
#include <QEventLoop>
#include <QFile>
#include <QLockFile>
#include <QSocketNotifier>
#include <QStandardPaths>
#include <QTimer>

#include <algorithm>
#include <cstring>
#include <optional>
#include <utility>

// The socket is a plain local one of our own rather than QLocalServer's: QtNetwork brings
// nine more shared libraries into every start of the editor, for one socket that needs
// nothing of them.

namespace singleinstance {

namespace {

// What a request starts with, so that anything else that finds the socket is ignored.
const QByteArray Greeting = QByteArrayLiteral("Quillon open files 2\n");
constexpr char Taken = '1';
// The greeting, then the length of the list that follows.
const qint64 HeaderBytes = Greeting.size() + 4;
// A connection that has not sent a whole request by then is dropped.
constexpr int RequestTimeoutMs = 5000;
// How often a start asks again when the editor has more starts queued than it takes in.
constexpr int BusyRetryMs = 10;
constexpr qsizetype ChunkBytes = 64 * 1024;

QByteArray List(const QStringList &files)
{
    QByteArray bytes;
    QDataStream out(&bytes, QIODevice::WriteOnly);
    out.setVersion(QDataStream::Qt_6_0);
    out << files;
    return bytes;
}

std::string SocketPath(const QString &name)
{
    return QFile::encodeName(name).toStdString();
}

// Whether an editor is listening on `path` now. A connection to a local socket is taken
// by the system as soon as somebody listens, before the program accepts it.
bool SomebodyListens(const std::string &path)
{
    return localsocket::Connect(path).reach != localsocket::Reach::NobodyListens;
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

HandOver HandOverRequest(const std::string &path, const QStringList &files, int timeoutMs)
{
    QEventLoop loop;
    bool finished = false;
    HandOver result = HandOver::NoAnswer;
    const auto finish = [&](HandOver outcome) {
        if (finished)
            return;
        finished = true;
        result = outcome;
        loop.quit();
    };
    QTimer::singleShot(timeoutMs, &loop, [&] { finish(HandOver::NoAnswer); });

    const QByteArray request = Request(files);
    qsizetype sent = 0;
    localsocket::Connection connection = localsocket::Connect(path);
    // Declared after the connection, so that they go before the socket they watch.
    std::unique_ptr<QSocketNotifier> readable;
    std::unique_ptr<QSocketNotifier> writable;
    // Once the request may have gone out, only the editor's answer tells whether it took
    // the files: a connection that breaks before that leaves it unknown.
    const auto write = [&] {
        const localsocket::Transfer done =
            localsocket::Send(connection.socket.get(), request.constData() + sent,
                              static_cast<std::size_t>(request.size() - sent));
        sent += static_cast<qsizetype>(done.bytes);
        writable->setEnabled(done.flow == localsocket::Flow::Full);
        if (done.flow == localsocket::Flow::Ended)
            finish(HandOver::NoAnswer);
    };
    const auto read = [&] {
        char answer[16];
        const localsocket::Transfer got =
            localsocket::Receive(connection.socket.get(), answer, sizeof answer);
        if (got.flow == localsocket::Flow::Ended)
            finish(HandOver::NoAnswer);
        else if (std::memchr(answer, Taken, got.bytes))
            finish(HandOver::Done);
    };
    const auto start = [&] {
        const int socket = connection.socket.get();
        readable = std::make_unique<QSocketNotifier>(socket, QSocketNotifier::Read);
        writable = std::make_unique<QSocketNotifier>(socket, QSocketNotifier::Write);
        QObject::connect(readable.get(), &QSocketNotifier::activated, &loop, read);
        QObject::connect(writable.get(), &QSocketNotifier::activated, &loop, write);
        write();
    };
    // An editor with more starts queued than it takes in is busy, not gone: this start
    // asks again until it is let in or its time is up.
    QTimer retry;
    QObject::connect(&retry, &QTimer::timeout, &loop, [&] {
        connection = localsocket::Connect(path);
        if (connection.reach == localsocket::Reach::Busy)
            return;
        retry.stop();
        if (connection.reach == localsocket::Reach::Connected)
            start();
        else
            finish(HandOver::NoneRunning);
    });

    switch (connection.reach) {
    case localsocket::Reach::NobodyListens:
        return HandOver::NoneRunning;
    case localsocket::Reach::Busy:
        retry.start(BusyRetryMs);
        break;
    case localsocket::Reach::Connected:
        start();
        break;
    }
    if (!finished)
        loop.exec(QEventLoop::ExcludeUserInputEvents);
    return result;
}

// What a request announces as the length of its list; -1 while its header is not all in.
qint64 Announced(const QByteArray &bytes)
{
    if (bytes.size() < HeaderBytes)
        return -1;
    quint32 length = 0;
    QDataStream sizes(bytes.sliced(Greeting.size(), 4));
    sizes >> length;
    return length;
}

// Whether what has come so far can be no request of ours. Judged by the header alone, so
// that a request larger than any start sends is not read.
bool Refused(const QByteArray &bytes)
{
    if (!Greeting.startsWith(bytes.first(std::min(bytes.size(), Greeting.size()))))
        return true;
    const qint64 length = Announced(bytes);
    return length > MaxRequestBytes - HeaderBytes ||
           (length >= 0 && bytes.size() > HeaderBytes + length);
}

bool Whole(const QByteArray &bytes)
{
    const qint64 length = Announced(bytes);
    return length >= 0 && bytes.size() == HeaderBytes + length;
}

// The paths of a whole request, or nothing when it is not a sane one.
std::optional<QStringList> Paths(const QByteArray &request)
{
    QDataStream in(request.sliced(HeaderBytes));
    in.setVersion(QDataStream::Qt_6_0);
    // Read path by path: QDataStream would make room for whatever count the list claims.
    quint32 count = 0;
    in >> count;
    bool sane = count <= static_cast<quint64>(request.size() - HeaderBytes) / 4;
    QStringList files;
    for (quint32 i = 0; sane && i < count; ++i) {
        QString file;
        in >> file;
        sane = in.status() == QDataStream::Ok && !file.isEmpty() && file.size() <= MaxPathLength;
        files << file;
    }
    if (in.status() != QDataStream::Ok || !in.atEnd() || !sane)
        return std::nullopt;
    return files;
}

} // namespace

// One connection to the editor's socket, until its request is whole, refused or too slow.
class PendingRequest : public QObject
{
public:
    PendingRequest(localsocket::Descriptor socket, QObject *parent)
        : QObject(parent), m_socket(std::move(socket)),
          m_readable(m_socket.get(), QSocketNotifier::Read)
    {
        QTimer::singleShot(RequestTimeoutMs, this, [this] { Close(); });
    }

    int Socket() const { return m_socket.get(); }
    QSocketNotifier &Readable() { return m_readable; }

    // At once, so that a start waiting for its answer learns there is none.
    void Close()
    {
        m_readable.setEnabled(false);
        m_socket.reset();
        deleteLater();
    }

    QByteArray bytes;

private:
    localsocket::Descriptor m_socket;
    QSocketNotifier m_readable;
};

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
    // Plain loops rather than regular expressions: compiling those cost every start more
    // than the rest of the socket's set-up.
    QString display = qEnvironmentVariable("WAYLAND_DISPLAY");
    if (display.isEmpty()) {
        display = qEnvironmentVariable("DISPLAY");
        qsizetype screen = display.size();
        while (screen > 0 && display.at(screen - 1) >= u'0' && display.at(screen - 1) <= u'9')
            --screen;
        if (screen < display.size() && screen > 0 && display.at(screen - 1) == u'.')
            display.truncate(screen - 1);
    }
    for (QChar &c : display) {
        const char16_t u = c.unicode();
        const bool kept = (u >= u'A' && u <= u'Z') || (u >= u'a' && u <= u'z') ||
                          (u >= u'0' && u <= u'9') || u == u'_' || u == u'.' || u == u'-';
        if (!kept)
            c = u'_';
    }
    const QString name = QStringLiteral("/quillon-editor");
    return folder + (display.isEmpty() ? name : name + QLatin1Char('-') + display);
}

HandOver HandOverFiles(const QStringList &files, int timeoutMs)
{
    const QString name = ServerName();
    if (name.isEmpty())
        return HandOver::NoneRunning;
    const std::string path = SocketPath(name);
    bool first = true;
    for (const QStringList &request : Requests(files)) {
        const HandOver outcome = HandOverRequest(path, request, timeoutMs);
        // After the editor took a part, the rest cannot open here without a second frame.
        if (outcome != HandOver::Done)
            return first ? outcome : HandOver::NoAnswer;
        first = false;
    }
    return HandOver::Done;
}

InstanceServer::InstanceServer(QObject *parent) : QObject(parent) {}

InstanceServer::~InstanceServer()
{
    // The notifier goes before the socket it watches.
    delete m_accepting;
}

bool InstanceServer::Listen()
{
    const QString name = ServerName();
    const std::string path = SocketPath(name);
    // A runtime folder too deep for a socket's address leaves this editor on its own.
    if (IsListening() || name.isEmpty() || !localsocket::Fits(path))
        return false;
    // Two editors starting at once must not each take the other's socket for a stale one.
    QLockFile lock(name + QStringLiteral(".lock"));
    lock.tryLock(1000);
    if (SomebodyListens(path))
        return false;
    // What is left is a socket file of an editor that ended without removing it; anything
    // else in its place is not ours to remove. Only this user may hand files over: the
    // socket lives in the user's own runtime folder and is itself closed to everybody else.
    auto listener = std::make_unique<localsocket::Listener>();
    if (!localsocket::RemoveStaleSocket(path) || !listener->Open(path))
        return false;
    m_listener = std::move(listener);
    m_accepting = new QSocketNotifier(m_listener->get(), QSocketNotifier::Read, this);
    connect(m_accepting, &QSocketNotifier::activated, this, &InstanceServer::Accept);
    return true;
}

bool InstanceServer::IsListening() const
{
    return m_listener != nullptr;
}

void InstanceServer::Accept()
{
    for (;;) {
        bool exhausted = false;
        localsocket::Descriptor socket = m_listener->Accept(exhausted);
        if (!socket.valid()) {
            // Out of descriptors, the waiting connection would wake this again at once,
            // and again: let the others finish first.
            if (exhausted) {
                m_accepting->setEnabled(false);
                QTimer::singleShot(100, m_accepting,
                                   [notifier = m_accepting] { notifier->setEnabled(true); });
            }
            return;
        }
        auto *request = new PendingRequest(std::move(socket), this);
        connect(&request->Readable(), &QSocketNotifier::activated, this,
                [this, request] { Read(request); });
    }
}

void InstanceServer::Read(PendingRequest *request)
{
    QByteArray &bytes = request->bytes;
    localsocket::Flow flow = localsocket::Flow::Open;
    while (flow == localsocket::Flow::Open) {
        const qsizetype had = bytes.size();
        bytes.resize(had + ChunkBytes);
        const localsocket::Transfer got =
            localsocket::Receive(request->Socket(), bytes.data() + had, ChunkBytes);
        bytes.resize(had + static_cast<qsizetype>(got.bytes));
        flow = got.flow;
        if (Refused(bytes)) {
            request->Close();
            return;
        }
    }
    // A start that sent its whole request and left still meant it.
    if (!Whole(bytes)) {
        if (flow == localsocket::Flow::Ended)
            request->Close();
        return; // not all there yet
    }
    const std::optional<QStringList> files = Paths(bytes);
    if (!files) {
        request->Close();
        return;
    }
    // The answer goes out before anything is opened: the start waits for it alone, and
    // a message box about one of the files cannot keep it waiting.
    localsocket::Send(request->Socket(), &Taken, 1);
    request->Close();
    // Starts that come together are answered first and opened together after.
    m_received += *files;
    if (std::exchange(m_openQueued, true))
        return;
    QTimer::singleShot(0, this, [this] {
        m_openQueued = false;
        emit FilesReceived(std::exchange(m_received, {}));
    });
}

} // namespace singleinstance
