// The main of every test binary that needs Qt: offscreen platform, a scratch home,
// settings and runtime location per process, so no test touches the user's settings,
// files, screen or running editor.

#include "OwnerlessClipboard.h"
#include "Startup.h"
#include "Translations.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstdlib>

int main(int argc, char **argv)
{
    if (const int owned = ownerless::RunAsClipboardOwner(argc, argv); owned >= 0)
        return owned;

    // gtest_discover_tests runs this binary at build time to list the tests, outside
    // the test environment: choose the offscreen platform ourselves when none is set.
    if (!std::getenv("QT_QPA_PLATFORM"))
        ::setenv("QT_QPA_PLATFORM", "offscreen", 1);

    QTemporaryDir scratch;
    if (!scratch.isValid())
        return 2;
    const QByteArray root = QDir(scratch.path()).absolutePath().toLocal8Bit();
    // The runtime folder too: the editor's single-instance socket lives there, and a test
    // must never hand files to an editor the user has open.
    for (const char *name :
         {"XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_CACHE_HOME", "XDG_RUNTIME_DIR", "HOME"}) {
        const QByteArray path = root + "/" + name;
        QDir().mkpath(QString::fromLocal8Bit(path));
        ::setenv(name, path.constData(), 1);
    }
    QFile::setPermissions(QString::fromLocal8Bit(root + "/XDG_RUNTIME_DIR"),
                          QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);

    ::testing::InitGoogleTest(&argc, argv);
    QApplication app(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("TorvaneTests"));
    startup::InstallFontFallbacks();
    startup::InstallCachedIconStyle();
    // The texts as an English-speaking user reads them, whatever the machine's language:
    // Qt's own buttons and the counted texts' singular forms.
    const QLocale english(QLocale::English, QLocale::UnitedStates);
    for (const QString program : {QStringLiteral("quillon"), QStringLiteral("probator")})
        startup::InstallTranslations(
            program, english,
            QStringLiteral(TORVANE_TRANSLATIONS_BUILD_DIR "/%1/translations").arg(program));
    return RUN_ALL_TESTS();
}
