#pragma once
// What both programs do before their first window.

#include <cstdio>
#include <cstdlib>
#include <thread>

namespace startup {

// Without a display Qt would abort with a long platform-plugin message; say it in one line.
inline bool HasDisplay(const char *program)
{
#if defined(_WIN32) || defined(__APPLE__)
    // A desktop session always has its display there; only X11 and Wayland name theirs.
    (void)program;
    return true;
#else
    if (std::getenv("QT_QPA_PLATFORM") || std::getenv("DISPLAY") || std::getenv("WAYLAND_DISPLAY"))
        return true;
    std::fprintf(
        stderr,
        "%s: no display to open a window on (neither DISPLAY nor WAYLAND_DISPLAY is set).\n",
        program);
    return false;
#endif
}

// While it lives (around the application object's construction), Qt failing to open its
// platform, as for a display that is named but cannot be reached, ends the program with
// one line and status 1 rather than Qt's abort. What Qt says meanwhile is passed on when
// it ends.
class PlatformGuard
{
public:
    explicit PlatformGuard(const char *program);
    ~PlatformGuard();
    PlatformGuard(const PlatformGuard &) = delete;
    PlatformGuard &operator=(const PlatformGuard &) = delete;
};

// Fonts the windows name that a Linux desktop lacks are mapped to installed look-alikes
// rather than whatever fontconfig picks first.
void InstallFontFallbacks();

// Makes the application's style (QT_STYLE_OVERRIDE's included) keep the pictures of a
// document window's title bar once made (CachedIconStyle). Before the first window.
void InstallCachedIconStyle();

// Work begun on a thread of its own while the program goes on starting, so that it
// overlaps with loading plugins and connecting to the display. Wait(), or the end of its
// scope, joins it. With no thread to spare it is not begun early: what it prepares is then
// done where it is first needed, as without it.
class EarlyWork
{
public:
    explicit EarlyWork(void (*work)());
    ~EarlyWork();
    EarlyWork(const EarlyWork &) = delete;
    EarlyWork &operator=(const EarlyWork &) = delete;
    void Wait();

private:
    std::thread m_thread;
};

// Reads the system's font configuration. Begun early before the application object, and
// waited for before the first window is built, so that it is read once, and not again by
// Qt at the same time.
void LoadFontConfiguration();

} // namespace startup
