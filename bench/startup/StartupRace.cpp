// From exec to the first window mapped on the X server: an empty Qt main window against
// Quillon (alone, with one file, with twenty) and Probator. Every contender is started as
// a process of its own on a private Xvfb, so loading the libraries, the platform plugin,
// fonts and settings all count; the clock stops when the server reports the window
// mapped. The rounds are interleaved (each round runs every contender once, starting one
// further along each time) and each contender's median is given as a ratio to the empty
// window's, which the shared, loaded machines make the only figure worth comparing.
//
// Usage: bench_startup [--rounds N] [--compare-with DIR] [--no-session-bus]
// 16 rounds by default; DIR holds another build's quillon and probator (an older one, say),
// raced in the same rounds as two contenders more. The contenders share a private session
// bus, as on a desktop, unless --no-session-bus is given (or dbus-daemon is missing).

#include "BenchSupport.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

// After Qt's headers: Xlib defines names (Status, Bool) that they use.
#include <X11/Xlib.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char **environ;

namespace {

using Clock = std::chrono::steady_clock;

struct Contender
{
    std::string name;
    std::vector<std::string> arguments; // the program first
    std::vector<double> times;          // milliseconds, one a round
};

pid_t Spawn(const std::vector<std::string> &arguments, const std::vector<std::string> &environment)
{
    std::vector<char *> argv;
    for (const std::string &argument : arguments)
        argv.push_back(const_cast<char *>(argument.c_str()));
    argv.push_back(nullptr);
    std::vector<char *> envp;
    for (const std::string &variable : environment)
        envp.push_back(const_cast<char *>(variable.c_str()));
    envp.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    // Nothing the contenders say may slow them down on a terminal or a pipe nobody reads.
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    pid_t pid = -1;
    if (posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), envp.data()) != 0)
        pid = -1;
    posix_spawn_file_actions_destroy(&actions);
    return pid;
}

bool WaitForExit(pid_t pid, std::chrono::milliseconds limit)
{
    const auto end = Clock::now() + limit;
    while (Clock::now() < end) {
        const pid_t done = waitpid(pid, nullptr, WNOHANG);
        if (done == pid || (done < 0 && errno == ECHILD))
            return true;
        usleep(2000);
    }
    return false;
}

void Stop(pid_t pid)
{
    if (pid <= 0)
        return;
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
}

// An X server of our own, on a display it chooses free, with a connection that watches
// the top-level windows come up.
class PrivateServer
{
public:
    bool Start()
    {
        int ready[2];
        if (pipe(ready) != 0)
            return false;
        const std::string fd = std::to_string(ready[1]);
        std::vector<std::string> environment;
        for (char **variable = environ; *variable; ++variable)
            environment.emplace_back(*variable);
        m_server = Spawn({"/usr/bin/Xvfb", "-displayfd", fd, "-nolisten", "tcp", "-noreset",
                          "-screen", "0", "1280x1024x24"},
                         environment);
        close(ready[1]);
        if (m_server < 0) {
            close(ready[0]);
            return false;
        }
        char number[32] = {};
        pollfd waitFor{ready[0], POLLIN, 0};
        std::size_t got = 0;
        while (got < sizeof number - 1 && poll(&waitFor, 1, 20000) > 0) {
            const ssize_t n = read(ready[0], number + got, sizeof number - 1 - got);
            if (n <= 0 || std::strchr(number, '\n'))
                break;
            got += static_cast<std::size_t>(n);
        }
        close(ready[0]);
        if (!std::strchr(number, '\n'))
            return false;
        m_display = ":" + std::string(number, std::strcspn(number, "\n"));
        m_connection = XOpenDisplay(m_display.c_str());
        if (!m_connection)
            return false;
        XSelectInput(m_connection, DefaultRootWindow(m_connection), SubstructureNotifyMask);
        XSync(m_connection, False);
        return true;
    }

    ~PrivateServer()
    {
        if (m_connection)
            XCloseDisplay(m_connection);
        Stop(m_server);
    }

    const std::string &Display() const { return m_display; }

    // What the last contender left unread must not end the next one's race.
    void Drain()
    {
        XSync(m_connection, False);
        XEvent event;
        while (XPending(m_connection))
            XNextEvent(m_connection, &event);
    }

    // The next top-level window mapped, if one is within `limit` and `pid` still runs.
    std::optional<Window> NextMapped(pid_t pid, std::chrono::milliseconds limit)
    {
        const auto end = Clock::now() + limit;
        pollfd connection{ConnectionNumber(m_connection), POLLIN, 0};
        while (Clock::now() < end) {
            while (XPending(m_connection)) {
                XEvent event;
                XNextEvent(m_connection, &event);
                if (event.type == MapNotify && event.xmap.event == DefaultRootWindow(m_connection))
                    return event.xmap.window;
            }
            if (waitpid(pid, nullptr, WNOHANG) == pid)
                return std::nullopt;
            poll(&connection, 1, 5);
        }
        return std::nullopt;
    }

    // As a window manager's close button does.
    void AskToClose(Window window)
    {
        XEvent event{};
        event.xclient.type = ClientMessage;
        event.xclient.window = window;
        event.xclient.message_type = XInternAtom(m_connection, "WM_PROTOCOLS", False);
        event.xclient.format = 32;
        event.xclient.data.l[0] =
            static_cast<long>(XInternAtom(m_connection, "WM_DELETE_WINDOW", False));
        event.xclient.data.l[1] = CurrentTime;
        XSendEvent(m_connection, window, False, NoEventMask, &event);
        XFlush(m_connection);
    }

private:
    pid_t m_server = -1;
    std::string m_display;
    ::Display *m_connection = nullptr;
};

// A session bus of our own, as every desktop session has. Without one, each Qt program
// that looks for a desktop menu service or an accessibility bus (the editor's menu bar and
// accessible names, before its window shows; the empty window as it is shown) tries to
// start one: a fork and a search of the path that no start on a desktop pays.
class PrivateSessionBus
{
public:
    bool Start(const std::vector<std::string> &environment)
    {
        int ready[2];
        if (access("/usr/bin/dbus-daemon", X_OK) != 0 || pipe(ready) != 0)
            return false;
        m_daemon = Spawn({"/usr/bin/dbus-daemon", "--session", "--nofork",
                          "--print-address=" + std::to_string(ready[1])},
                         environment);
        close(ready[1]);
        std::string address;
        pollfd waitFor{ready[0], POLLIN, 0};
        char c = 0;
        while (m_daemon > 0 && poll(&waitFor, 1, 5000) > 0 && read(ready[0], &c, 1) == 1 &&
               c != '\n')
            address += c;
        close(ready[0]);
        if (address.empty())
            return false;
        m_address = address;
        return true;
    }

    ~PrivateSessionBus() { Stop(m_daemon); }

    const std::string &Address() const { return m_address; }

private:
    pid_t m_daemon = -1;
    std::string m_address;
};

// One start of `contender`: milliseconds from exec to its first window mapped.
std::optional<double> Race(PrivateServer &server, const Contender &contender,
                           const std::vector<std::string> &environment)
{
    server.Drain();
    const auto start = Clock::now();
    const pid_t pid = Spawn(contender.arguments, environment);
    if (pid < 0)
        return std::nullopt;
    const std::optional<Window> window = server.NextMapped(pid, std::chrono::seconds(60));
    const auto mapped = Clock::now();
    if (!window) {
        Stop(pid);
        return std::nullopt;
    }
    // A clean end, so that the editor's single-instance socket and settings are as a
    // user's next start finds them.
    server.AskToClose(*window);
    if (!WaitForExit(pid, std::chrono::seconds(20)))
        Stop(pid);
    return std::chrono::duration<double, std::milli>(mapped - start).count();
}

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

std::vector<std::string> ContenderEnvironment(const QString &home, const QString &runtime,
                                              const std::string &display,
                                              const std::string &sessionBus)
{
    std::vector<std::string> environment;
    for (char **variable = environ; *variable; ++variable) {
        const std::string entry(*variable);
        const std::string name = entry.substr(0, entry.find('='));
        if (name == "DISPLAY" || name == "WAYLAND_DISPLAY" || name == "QT_QPA_PLATFORM" ||
            name == "HOME" || name == "XDG_CONFIG_HOME" || name == "XDG_RUNTIME_DIR" ||
            name == "XDG_CACHE_HOME" || name == "DBUS_SESSION_BUS_ADDRESS")
            continue;
        environment.push_back(entry);
    }
    const std::string root = QDir(home).absolutePath().toStdString();
    environment.push_back("DISPLAY=" + display);
    environment.push_back("QT_QPA_PLATFORM=xcb");
    environment.push_back("HOME=" + root);
    environment.push_back("XDG_CONFIG_HOME=" + root + "/.config");
    environment.push_back("XDG_CACHE_HOME=" + root + "/.cache");
    environment.push_back("XDG_RUNTIME_DIR=" + runtime.toStdString());
    if (!sessionBus.empty())
        environment.push_back("DBUS_SESSION_BUS_ADDRESS=" + sessionBus);
    return environment;
}

} // namespace

int main(int argc, char **argv)
{
    int rounds = 16;
    std::string compareWith;
    bool noBus = false;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--no-session-bus") == 0)
            noBus = true;
        else if (i + 1 < argc && std::strcmp(argv[i], "--rounds") == 0)
            rounds = std::max(1, std::atoi(argv[++i]));
        else if (i + 1 < argc && std::strcmp(argv[i], "--compare-with") == 0)
            compareWith = argv[++i];
    }

    QTemporaryDir scratch;
    if (!scratch.isValid())
        return 2;
    const QString home = scratch.filePath(QStringLiteral("home"));
    QDir().mkpath(home + QStringLiteral("/.config"));
    QDir().mkpath(home + QStringLiteral("/.cache"));
    // A desktop session's runtime folder is in memory (/run/user/N), where the editor's
    // single-instance lock costs nothing to sync; on a disk it would cost a sync each start.
    QTemporaryDir runtime(QDir(QStringLiteral("/dev/shm")).exists()
                              ? QStringLiteral("/dev/shm/bench-startup-XXXXXX")
                              : scratch.filePath(QStringLiteral("runtime-XXXXXX")));
    if (!runtime.isValid())
        return 2;
    QFile::setPermissions(runtime.path(),
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    std::vector<std::string> files;
    for (int i = 1; i <= 20; ++i) {
        const QString path =
            scratch.filePath(QStringLiteral("unit%1.cfg").arg(i, 2, 10, QLatin1Char('0')));
        WriteLargestConfig(path);
        files.push_back(path.toStdString());
    }

    PrivateServer server;
    if (!server.Start()) {
        std::puts("bench_startup: SKIPPED, no private Xvfb could be started "
                  "(scripts/setup.sh installs it)");
        return 0;
    }
    std::vector<std::string> plain;
    for (char **variable = environ; *variable; ++variable)
        plain.emplace_back(*variable);
    PrivateSessionBus bus;
    const bool withBus = !noBus && bus.Start(plain);
    const std::vector<std::string> environment =
        ContenderEnvironment(home, runtime.path(), server.Display(), withBus ? bus.Address() : "");

    std::vector<Contender> contenders = {
        {"empty Qt 6 window", {EMPTY_WINDOW_PATH}, {}},
        {"Quillon", {QUILLON_PATH}, {}},
        {"Quillon + 1 file", {QUILLON_PATH, files[0]}, {}},
        {"Quillon + 20 files", {QUILLON_PATH}, {}},
        {"Probator", {PROBATOR_PATH}, {}},
    };
    contenders[3].arguments.insert(contenders[3].arguments.end(), files.begin(), files.end());
    if (!compareWith.empty()) {
        contenders.push_back({"Quillon (other)", {compareWith + "/quillon"}, {}});
        contenders.push_back({"Probator (other)", {compareWith + "/probator"}, {}});
        contenders.push_back({"Quillon + 1 (other)", {compareWith + "/quillon", files[0]}, {}});
        contenders.push_back({"Quillon + 20 (other)", {compareWith + "/quillon"}, {}});
        contenders.back().arguments.insert(contenders.back().arguments.end(), files.begin(),
                                           files.end());
    }

    // One round unmeasured: the first start of each program pays for the disk cache.
    for (const Contender &contender : contenders)
        (void)Race(server, contender, environment);
    for (int round = 0; round < rounds; ++round) {
        for (std::size_t i = 0; i < contenders.size(); ++i) {
            Contender &contender =
                contenders[(i + static_cast<std::size_t>(round)) % contenders.size()];
            const std::optional<double> time = Race(server, contender, environment);
            if (!time) {
                std::printf("bench_startup: %s never mapped a window\n", contender.name.c_str());
                return 1;
            }
            contender.times.push_back(*time);
        }
    }

    std::printf("Start-up, exec to the first window mapped on a private Xvfb (%s), %s, %d "
                "rounds interleaved, medians:\n",
                server.Display().c_str(),
                withBus ? "with a private session bus" : "without a session bus", rounds);
    const double floor = Median(contenders[0].times);
    for (const Contender &contender : contenders) {
        const double median = Median(contender.times);
        std::printf("  %-20s %8.1f ms  %5.2fx the empty window\n", contender.name.c_str(), median,
                    median / floor);
    }
    std::printf("  Quillon + 20 files  %5.2fx Quillon + 1 file\n",
                Median(contenders[3].times) / Median(contenders[2].times));
    if (!compareWith.empty())
        std::printf("  (other) + 20 files  %5.2fx (other) + 1 file\n",
                    Median(contenders[8].times) / Median(contenders[7].times));
    return 0;
}
