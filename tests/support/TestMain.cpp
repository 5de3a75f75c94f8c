// The main of every test binary that needs Qt: offscreen platform, a scratch home and
// settings location per process, so no test touches the user's settings, files or screen.

#include "OwnerlessClipboard.h"
#include "Startup.h"

#include <QApplication>
#include <QDir>
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
    for (const char *name : {"XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_CACHE_HOME", "HOME"}) {
        const QByteArray path = root + "/" + name;
        QDir().mkpath(QString::fromLocal8Bit(path));
        ::setenv(name, path.constData(), 1);
    }

    ::testing::InitGoogleTest(&argc, argv);
    QApplication app(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("TorvaneTests"));
    startup::InstallFontFallbacks();
    return RUN_ALL_TESTS();
}
