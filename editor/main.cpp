#include "Main.h"
#include "OverflowIcons.h"
#include "ProgramInfo.h"
#include "QtPrintingModal.h"
#include "Startup.h"
#include "TorvaneVersion.h"
#include "Translations.h"

#include <QApplication>

#include <iostream>
#include <optional>

namespace {

constexpr const char *Help =
    "Usage: quillon [FILE]...\n"
    "Quillon, the Torvane config file editor: opens each FILE (*.cfg, *.ini) that exists,\n"
    "deciphered, in a window of its own. A name may hold the wildcards * and ?.\n"
    "\n"
    "  -s, -silent      accepted, and without effect\n"
    "  -?, -h, -help    end at once, without opening a window\n"
    "      --help       show this help and exit\n"
    "      --version    show the version and exit\n"
    "\n"
    "torvane-cfg(1) reads and writes the same files on the command line.\n";

} // namespace

int main(int argc, char **argv)
{
    if (startup::AnswerInfoOption({argv + 1, argv + argc}, {"quillon", TorvaneVersion, Help},
                                  std::cout))
        return 0;
    if (!startup::HasDisplay("quillon"))
        return 1;
    // Every argument is the editor's own. QApplication would take the options it knows
    // (-reverse, -style, -platform, -geometry, -session, ...) off the command line and obey
    // them, so it is shown only the program's name; Qt's own settings stay reachable
    // through its environment variables (QT_QPA_PLATFORM, QT_STYLE_OVERRIDE, ...).
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    int qtArgc = 1;
    startup::EarlyWork fonts(startup::LoadFontConfiguration);
    std::optional<startup::PlatformGuard> guard(std::in_place, "quillon");
    QApplication app(qtArgc, argv);
    guard.reset();
    QApplication::setOrganizationName(QStringLiteral("Torvane"));
    QApplication::setApplicationName(QStringLiteral("Quillon"));
    QApplication::setApplicationVersion(QString::fromLatin1(TorvaneVersion));
    // Ties the windows to the installed menu entry (its icon and name on Wayland).
    QApplication::setDesktopFileName(QStringLiteral("org.torvane.Quillon"));
    startup::DeferOverflowIconsOfApplication();
    startup::InstallFontFallbacks();
    startup::InstallCachedIconStyle();
    startup::InstallTranslations(QStringLiteral("quillon"), QLocale(),
                                 startup::TranslationsFolder(QStringLiteral("quillon")));
    fonts.Wait();

    QtPrintingModal modal;
    const StartupResult started = Main(arguments, modal);
    if (started != StartupResult::Shown)
        return ExitStatus(started);
    return QApplication::exec();
}
