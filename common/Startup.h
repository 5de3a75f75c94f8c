#pragma once
// What both programs do before their first window.

#include <cstdio>
#include <cstdlib>

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

// Fonts the windows name that a Linux desktop lacks are mapped to installed look-alikes
// rather than whatever fontconfig picks first.
void InstallFontFallbacks();

} // namespace startup
