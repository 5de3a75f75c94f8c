#include "LogFile.h"

#include "LineBreaks.h"
#include "QtText.h"

#include <QSaveFile>

#include <cerrno>
#include <cstring>

#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

std::optional<QString> SaveLogFile(const QString &path, const QString &text)
{
    const QByteArray bytes = tester::ToQString(tester::WithLineFeeds(tester::View(text))).toUtf8();

    QSaveFile file(path);
    // Text mode writes each LF as the platform's line break.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Text))
        return file.errorString();

    // Qt 6.4's commit() misses a write that fails while the buffer is flushed, and would
    // then put the cut file in place; so every write and the flush are checked here, and
    // a failure cancels the save.
    const auto fail = [&file](const QString &reason) {
        file.cancelWriting();
        return reason;
    };
    if (file.write(bytes) != bytes.size() || !file.flush())
        return fail(file.errorString());
#ifdef Q_OS_UNIX
    // commit() syncs too but takes no notice of a failed sync, which is where some file
    // systems first report a full disk.
    if (::fsync(file.handle()) != 0)
        return fail(QString::fromLocal8Bit(std::strerror(errno)));
#endif
    if (!file.commit())
        return file.errorString();
    return std::nullopt;
}
