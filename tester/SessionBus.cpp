#include "SessionBus.h"

#ifdef TORVANE_HAVE_QTDBUS
#include <QDBusConnection>
#endif

void ConnectSessionBus()
{
#ifdef TORVANE_HAVE_QTDBUS
    (void)QDBusConnection::sessionBus().isConnected();
#endif
}
