#include "LocalSocket.h"

#include <cerrno>
#include <cstring>
#include <vector>

#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace localsocket {

namespace {

// A path that leaves no room for the closing zero is refused rather than cut short: cut,
// it would name another socket.
bool Address(const std::string &path, sockaddr_un &address)
{
    address = sockaddr_un{};
    address.sun_family = AF_UNIX;
    if (path.empty() || path.size() >= sizeof address.sun_path ||
        path.find('\0') != std::string::npos)
        return false;
    std::memcpy(address.sun_path, path.data(), path.size());
    return true;
}

const sockaddr *AsAddress(const sockaddr_un &address)
{
    return reinterpret_cast<const sockaddr *>(&address);
}

Descriptor StreamSocket()
{
    return Descriptor(::socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0));
}

// A local connection interrupted by a signal goes on by itself; it is settled at once, so
// the short wait is only for a system that takes its time.
bool Settled(int socket)
{
    pollfd ready{socket, POLLOUT, 0};
    int polled;
    do
        polled = ::poll(&ready, 1, 200);
    while (polled < 0 && errno == EINTR);
    int error = 0;
    socklen_t length = sizeof error;
    return polled == 1 && ::getsockopt(socket, SOL_SOCKET, SO_ERROR, &error, &length) == 0 &&
           error == 0;
}

} // namespace

Descriptor &Descriptor::operator=(Descriptor &&other) noexcept
{
    if (this != &other) {
        reset();
        m_fd = std::exchange(other.m_fd, -1);
    }
    return *this;
}

Descriptor::~Descriptor()
{
    reset();
}

void Descriptor::reset()
{
    // Not retried on EINTR: the descriptor is gone either way, and a retry could close one
    // that another thread has opened since.
    if (m_fd >= 0)
        ::close(std::exchange(m_fd, -1));
}

bool Fits(const std::string &path)
{
    sockaddr_un address;
    return Address(path, address);
}

Connection Connect(const std::string &path)
{
    Connection connection;
    sockaddr_un address;
    if (!Address(path, address))
        return connection;
    Descriptor socket = StreamSocket();
    if (!socket.valid())
        return connection;
    const int connected = ::connect(socket.get(), AsAddress(address), sizeof address);
    const int error = connected == 0 ? 0 : errno;
    if (error == 0 || ((error == EINTR || error == EINPROGRESS) && Settled(socket.get()))) {
        connection.reach = Reach::Connected;
        connection.socket = std::move(socket);
    } else if (error == EAGAIN) {
        connection.reach = Reach::Busy;
    }
    return connection;
}

bool RemoveStaleSocket(const std::string &path)
{
    struct stat status;
    if (::lstat(path.c_str(), &status) != 0)
        return errno == ENOENT;
    return S_ISSOCK(status.st_mode) && (::unlink(path.c_str()) == 0 || errno == ENOENT);
}

Listener::~Listener()
{
    if (!m_socket.valid())
        return;
    struct stat status;
    if (::lstat(m_path.c_str(), &status) == 0 && status.st_dev == m_device &&
        status.st_ino == m_inode)
        ::unlink(m_path.c_str());
}

bool Listener::Open(const std::string &path)
{
    sockaddr_un target;
    if (m_socket.valid() || !Address(path, target))
        return false;
    const std::size_t slash = path.rfind('/');
    std::string folder = slash == std::string::npos ? std::string(".") : path.substr(0, slash);
    // Short, so that wherever the final name fits, the socket in here fits as well.
    folder += "/.qXXXXXX";
    std::vector<char> made(folder.begin(), folder.end());
    made.push_back('\0');
    if (!::mkdtemp(made.data()))
        return false;
    folder = made.data();
    const std::string inside = folder + "/s";
    sockaddr_un address;
    Descriptor socket = StreamSocket();
    const bool listening = socket.valid() && Address(inside, address) &&
                           ::bind(socket.get(), AsAddress(address), sizeof address) == 0 &&
                           ::chmod(inside.c_str(), S_IRUSR | S_IWUSR) == 0 &&
                           ::listen(socket.get(), SOMAXCONN) == 0;
    struct stat status;
    const bool placed = listening && ::rename(inside.c_str(), path.c_str()) == 0 &&
                        ::lstat(path.c_str(), &status) == 0;
    if (!placed)
        ::unlink(inside.c_str());
    ::rmdir(folder.c_str());
    if (!placed)
        return false;
    m_socket = std::move(socket);
    m_path = path;
    m_device = status.st_dev;
    m_inode = status.st_ino;
    return true;
}

Descriptor Listener::Accept(bool &exhausted) const
{
    int accepted;
    do
        accepted = ::accept4(m_socket.get(), nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
    while (accepted < 0 && (errno == EINTR || errno == ECONNABORTED));
    exhausted =
        accepted < 0 && (errno == EMFILE || errno == ENFILE || errno == ENOBUFS || errno == ENOMEM);
    return Descriptor(accepted);
}

Transfer Send(int socket, const char *data, std::size_t size)
{
    Transfer transfer;
    while (transfer.bytes < size) {
        const ssize_t sent =
            ::send(socket, data + transfer.bytes, size - transfer.bytes, MSG_NOSIGNAL);
        if (sent >= 0) {
            transfer.bytes += static_cast<std::size_t>(sent);
        } else if (errno != EINTR) {
            transfer.flow = errno == EAGAIN || errno == EWOULDBLOCK ? Flow::Full : Flow::Ended;
            break;
        }
    }
    return transfer;
}

Transfer Receive(int socket, char *data, std::size_t size)
{
    Transfer transfer;
    for (;;) {
        const ssize_t received = ::recv(socket, data, size, 0);
        if (received > 0) {
            transfer.bytes = static_cast<std::size_t>(received);
        } else if (received < 0 && errno == EINTR) {
            continue;
        } else {
            transfer.flow = received < 0 && (errno == EAGAIN || errno == EWOULDBLOCK) ? Flow::Full
                                                                                      : Flow::Ended;
        }
        return transfer;
    }
}

} // namespace localsocket
