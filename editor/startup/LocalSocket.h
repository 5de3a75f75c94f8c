#pragma once
// Local stream sockets (AF_UNIX) on the bare system calls, for the editor's single-instance
// hand-over: every descriptor is non-blocking and closed on exec, every call retried when a
// signal interrupts it, and no write raises SIGPIPE when the other end has gone.

#include <cstddef>
#include <string>
#include <utility>

namespace localsocket {

// A descriptor that closes itself.
class Descriptor
{
public:
    Descriptor() = default;
    explicit Descriptor(int fd) : m_fd(fd) {}
    Descriptor(Descriptor &&other) noexcept : m_fd(std::exchange(other.m_fd, -1)) {}
    Descriptor &operator=(Descriptor &&other) noexcept;
    Descriptor(const Descriptor &) = delete;
    Descriptor &operator=(const Descriptor &) = delete;
    ~Descriptor();

    int get() const { return m_fd; }
    bool valid() const { return m_fd >= 0; }
    void reset();

private:
    int m_fd = -1;
};

// Whether `path` fits in a socket's address; a longer one can neither be listened on nor
// reached.
bool Fits(const std::string &path);

enum class Reach {
    Connected,
    Busy,          // somebody listens, but has more connections waiting than it queues
    NobodyListens, // no socket there, a socket nobody listens on, or a path too long
};

struct Connection
{
    Reach reach = Reach::NobodyListens;
    Descriptor socket; // valid when connected
};

// Connects to the socket at `path` without waiting: a local connection is made at once or
// not at all.
Connection Connect(const std::string &path);

// Clears `path` of a socket file nobody listens on any more. Whatever else is there is not
// ours and is left alone: false then, and true when the path is free.
bool RemoveStaleSocket(const std::string &path);

// A listening socket whose file only its owner can use, removed when it goes (unless
// somebody else's file has since taken its path).
class Listener
{
public:
    Listener() = default;
    Listener(const Listener &) = delete;
    Listener &operator=(const Listener &) = delete;
    ~Listener();

    // Listens on `path`, which must be free. The socket is made in a private folder beside
    // it and moved into place, so that nobody else can connect in the moment between its
    // making and the narrowing of its permissions.
    bool Open(const std::string &path);
    int get() const { return m_socket.get(); }

    // The next connection waiting; an invalid descriptor when none waits, or when the
    // system has no room for another (`exhausted`: try again later, not at once).
    Descriptor Accept(bool &exhausted) const;

private:
    Descriptor m_socket;
    std::string m_path;
    unsigned long long m_device = 0;
    unsigned long long m_inode = 0;
};

enum class Flow {
    Open,  // everything asked for went, or something came
    Full,  // the rest would wait: try again when the socket is ready
    Ended, // the other end closed, or the connection broke
};

struct Transfer
{
    std::size_t bytes = 0;
    Flow flow = Flow::Open;
};

// Writes as much of `data` as goes without waiting.
Transfer Send(int socket, const char *data, std::size_t size);
// Reads what is there, up to `size` bytes, without waiting.
Transfer Receive(int socket, char *data, std::size_t size);

} // namespace localsocket
