#include "Startup.h"

#include <system_error>

#ifdef TORVANE_HAVE_FONTCONFIG
#include <fontconfig/fontconfig.h>
#endif

namespace startup {

EarlyWork::EarlyWork(void (*work)())
{
    try {
        m_thread = std::thread(work);
    } catch (const std::system_error &) {
    }
}

EarlyWork::~EarlyWork()
{
    Wait();
}

void EarlyWork::Wait()
{
    if (m_thread.joinable())
        m_thread.join();
}

void LoadFontConfiguration()
{
#ifdef TORVANE_HAVE_FONTCONFIG
    // Reading the system's font configuration is most of what the first text measured
    // costs, and Qt does it on the first window's thread just before that window can be
    // shown; done already, Qt's own call finds it so.
    FcInit();
#endif
}

} // namespace startup
