#include "UnitRecorder.h"

#include "UnitRecord.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QSettings>
#include <QStandardPaths>

namespace {

const QString OnKey = QStringLiteral("Settings/RecordEachUnit");
const QString FolderKey = QStringLiteral("Settings/RecordDir");

QSettings Store()
{
    return {QSettings::NativeFormat, QSettings::UserScope, QCoreApplication::organizationName(),
            QStringLiteral("Probator")};
}

} // namespace

UnitRecorder::UnitRecorder() = default;

UnitRecorder::~UnitRecorder() = default;

bool UnitRecorder::IsOn() const
{
    // Anything but "1" is off: a damaged value must not start writing files.
    if (!m_on)
        m_on = Store().value(OnKey).toString() == QLatin1String("1");
    return *m_on;
}

void UnitRecorder::SetOn(bool on)
{
    m_on = on;
    m_failed = false;
    if (!on)
        m_record.reset();
    Store().setValue(OnKey, on ? QStringLiteral("1") : QStringLiteral("0"));
}

QString UnitRecorder::Folder() const
{
    const QString stored = Store().value(FolderKey).toString();
    if (!stored.isEmpty())
        return stored;
    return QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation) +
           QStringLiteral("/records");
}

QString UnitRecorder::Path() const
{
    return m_record && m_record->IsOpen() ? m_record->Path() : QString();
}

void UnitRecorder::Write(const QString &entry)
{
    if (m_failed || !IsOn())
        return;
    if (!m_record) {
        m_record = std::make_unique<UnitRecord>(Folder(), QDateTime::currentDateTime());
        if (!m_record->IsOpen()) {
            qWarning("No record of the unit: %s", qPrintable(m_record->Error()));
            m_record.reset();
            m_failed = true;
            return;
        }
    }
    m_record->Write(entry);
    m_command << entry;
}

void UnitRecorder::UnitIs(const QString &folder)
{
    if (!m_record || !IsOn())
        return;
    if (m_record->Unit().isEmpty()) {
        m_record->BelongsTo(folder);
        return;
    }
    if (m_record->Unit() == folder)
        return;
    // Another unit is on the line: its record starts here.
    m_record = std::make_unique<UnitRecord>(Folder(), QDateTime::currentDateTime());
    if (m_record->IsOpen()) {
        m_record->BelongsTo(folder);
        for (const QString &entry : m_command)
            m_record->Write(entry);
    } else
        m_record.reset();
}
