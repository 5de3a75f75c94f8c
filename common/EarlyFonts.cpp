#include "Startup.h"

#ifdef TORVANE_HAVE_FONTCONFIG
#include <fontconfig/fontconfig.h>
#endif

namespace startup {

EarlyFonts::EarlyFonts()
{
#ifdef TORVANE_HAVE_FONTCONFIG
    // Reading the system's font configuration is most of what the first text measured
    // costs, and Qt does it on the first window's thread just before that window can be
    // shown. Begun here, it overlaps with loading the libraries' plugins and connecting
    // to the display; Qt's own call then finds it done.
    m_loader = std::thread([] { FcInit(); });
#endif
}

EarlyFonts::~EarlyFonts()
{
    Wait();
}

void EarlyFonts::Wait()
{
    if (m_loader.joinable())
        m_loader.join();
}

} // namespace startup
