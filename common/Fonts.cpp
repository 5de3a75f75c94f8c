#include "Startup.h"

#include <QFont>
#include <QStringList>

namespace startup {

void InstallFontFallbacks()
{
    // Liberation Sans has Arial's metrics, so text wraps where it would under Arial.
    const QStringList arial{QStringLiteral("Liberation Sans"), QStringLiteral("DejaVu Sans")};
    QFont::insertSubstitutions(QStringLiteral("Arial"), arial);
    const QStringList console{QStringLiteral("DejaVu Sans Mono"),
                              QStringLiteral("Liberation Mono")};
    QFont::insertSubstitutions(QStringLiteral("Lucida Console"), console);
}

} // namespace startup
