#include "EarlySessionBus.h"

#ifdef TORVANE_HAVE_QTDBUS
#include <QDBusConnection>
#endif

#include <system_error>

EarlySessionBus::EarlySessionBus()
{
#ifdef TORVANE_HAVE_QTDBUS
    try {
        m_connector = std::thread([] { (void)QDBusConnection::sessionBus().isConnected(); });
    } catch (const std::system_error &) {
        // No thread to spare: the bridge connects when it first asks, as without this.
    }
#endif
}

EarlySessionBus::~EarlySessionBus()
{
    if (m_connector.joinable())
        m_connector.join();
}
