#include "Startup.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <cstdio>
#include <cstdlib>

namespace startup {

namespace {

const char *guardedProgram = nullptr;
QtMessageHandler previousHandler = nullptr;
// What Qt said while it opened the platform, passed on once that has worked.
QStringList heldBack;
QList<QtMsgType> heldTypes;

// The display as the user named it, for the message.
QByteArray DisplayName()
{
    const QByteArray wayland = qgetenv("WAYLAND_DISPLAY");
    return wayland.isEmpty() ? qgetenv("DISPLAY") : wayland;
}

void OnMessage(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    if (type != QtFatalMsg) {
        heldBack << message;
        heldTypes << type;
        return;
    }
    // Qt cannot open any window: say so in one line and end as a failed start, not with
    // Qt's abort and its advice to reinstall.
    Q_UNUSED(context);
    std::fprintf(stderr, "%s: cannot reach the display \"%s\"; no window can be opened.\n",
                 guardedProgram, DisplayName().constData());
    std::fflush(stderr);
    std::_Exit(1);
}

} // namespace

PlatformGuard::PlatformGuard(const char *program)
{
    guardedProgram = program;
    previousHandler = qInstallMessageHandler(&OnMessage);
}

PlatformGuard::~PlatformGuard()
{
    qInstallMessageHandler(previousHandler);
    const QMessageLogContext context;
    for (qsizetype i = 0; i < heldBack.size(); ++i) {
        if (previousHandler)
            previousHandler(heldTypes[i], context, heldBack[i]);
        else
            std::fprintf(stderr, "%s\n", heldBack[i].toLocal8Bit().constData());
    }
    heldBack.clear();
    heldTypes.clear();
}

} // namespace startup
