#include "UnitRecord.h"

#include "LineBreaks.h"
#include "QtText.h"

#include <QDir>

UnitRecord::UnitRecord(const QString &dir, const QDateTime &start)
    : m_dir(dir),
      // No colons: the record must be a valid name on every file system a bench uses.
      m_baseName(start.toString(QStringLiteral("yyyy-MM-dd'T'HHmmss")))
{
    Create(QStringLiteral("unknown"));
}

bool UnitRecord::Create(const QString &folder)
{
    const QDir dir(m_dir + QLatin1Char('/') + folder);
    if (!dir.mkpath(QStringLiteral("."))) {
        m_error = QStringLiteral("cannot create the folder %1").arg(dir.path());
        return false;
    }
    // NewOnly fails on a name already taken, so two runs started in the same second
    // each get a record of their own.
    for (int n = 1; n < 1000; ++n) {
        const QString suffix = n == 1 ? QString() : QStringLiteral("-%1").arg(n);
        m_file.setFileName(dir.filePath(m_baseName + suffix + QStringLiteral(".log")));
        if (m_file.open(QIODevice::WriteOnly | QIODevice::NewOnly | QIODevice::Text))
            return true;
        if (!m_file.exists())
            break;
    }
    m_error = QStringLiteral("cannot create %1: %2").arg(m_file.fileName(), m_file.errorString());
    return false;
}

void UnitRecord::Write(const QString &entry)
{
    if (!m_file.isOpen())
        return;
    const QString text = tester::ToQString(tester::WithLineFeeds(tester::View(entry)));
    m_file.write((text + QLatin1Char('\n')).toUtf8());
    m_file.flush();
}

void UnitRecord::BelongsTo(const QString &folder)
{
    if (m_placed || !m_file.isOpen())
        return;
    m_placed = true;
    m_unit = folder;
    if (folder == QLatin1String("unknown"))
        return;
    // Copied rather than renamed, so the record is never without a whole copy on disk,
    // and a name taken in the unit's folder is never overwritten.
    const QString old = m_file.fileName();
    m_file.close();
    QFile source(old);
    if (!source.open(QIODevice::ReadOnly) || !Create(folder)) {
        m_file.setFileName(old);
        m_file.open(QIODevice::Append | QIODevice::Text);
        return;
    }
    const QByteArray bytes = source.readAll();
    if (m_file.write(bytes) != bytes.size() || !m_file.flush()) {
        const QString failed = m_file.fileName();
        m_file.close();
        QFile::remove(failed);
        m_file.setFileName(old);
        m_file.open(QIODevice::Append | QIODevice::Text);
        return;
    }
    source.close();
    QFile::remove(old);
    // Only when empty: other runs may have their records there.
    QDir(m_dir).rmdir(QStringLiteral("unknown"));
}
