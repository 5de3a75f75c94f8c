#pragma once
// The session bus, reached on a thread of its own while the window is being built.

#include <thread>

// Qt's accessibility bridge asks the session bus whether a screen reader's bus is there
// as soon as the first element of the window reports a change, long before the window is
// on the screen, and the window's thread waits for the answer: to connect, and where no
// bus is named, to look for one to start. Made right after the application object, this
// connects meanwhile, while the translations are installed, the window icon read and the
// fonts loaded; Qt shares the one session connection, so the bridge then finds it made or
// being made.
class EarlySessionBus
{
public:
    EarlySessionBus();
    // Waits for the connection to be made (or to have failed).
    ~EarlySessionBus();
    EarlySessionBus(const EarlySessionBus &) = delete;
    EarlySessionBus &operator=(const EarlySessionBus &) = delete;

private:
    std::thread m_connector;
};
