#include "OwnerlessClipboard.h"

#include <QApplication>
#include <QClipboard>
#include <QMimeData>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTest>

#include <cstdio>
#include <cstdlib>

namespace ownerless {

namespace {

constexpr char OwnerVariable[] = "TORVANE_TEST_CLIPBOARD_OWNER";

} // namespace

bool LeaveClipboardOwnerless(const QString &text)
{
    if (QGuiApplication::platformName() != QLatin1String("xcb"))
        return false;
    QProcess child;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QString::fromLatin1(OwnerVariable), text);
    child.setProcessEnvironment(environment);
    child.setProcessChannelMode(QProcess::ForwardedChannels);
    child.start(QCoreApplication::applicationFilePath(), {});
    if (!child.waitForFinished(30000) || child.exitStatus() != QProcess::NormalExit ||
        child.exitCode() != 0)
        return false;
    // The server drops the owner with the child's windows; wait until this process has
    // heard that the data is gone, as a person's next paste would come later still.
    return QTest::qWaitFor([] { return !QGuiApplication::clipboard()->mimeData()->hasText(); },
                           5000);
}

int RunAsClipboardOwner(int argc, char **argv)
{
    const char *text = std::getenv(OwnerVariable);
    if (!text)
        return -1;
    QApplication app(argc, argv);
    QClipboard *clipboard = QGuiApplication::clipboard();
    clipboard->setText(QString::fromUtf8(text), QClipboard::Clipboard);
    if (clipboard->supportsSelection())
        clipboard->setText(QString::fromUtf8(text), QClipboard::Selection);
    if (!QTest::qWaitFor([clipboard] { return clipboard->ownsClipboard(); }, 5000)) {
        std::fprintf(stderr, "clipboard owner: never got the clipboard\n");
        return 1;
    }
    return 0;
}

} // namespace ownerless
