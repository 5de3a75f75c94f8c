#pragma once
// The record of one run on one unit: its log written to DIR/<ESN>/<date>T<time>.log as it
// goes, each entry flushed as it is written, so a crash or a pulled plug keeps all but
// the entry being written. Until the unit's ESN is known the record lives under
// DIR/unknown; it moves to the unit's folder once a Read ESN has answered.

#include <QDateTime>
#include <QFile>
#include <QString>

class UnitRecord
{
public:
    // Creates the record; an older record of the same name is never overwritten.
    // Error() says why it could not be created.
    UnitRecord(const QString &dir, const QDateTime &start);

    bool IsOpen() const { return m_file.isOpen(); }
    QString Path() const { return m_file.fileName(); }
    QString Error() const { return m_error; }

    // Adds one log entry (its lines joined by any break) and flushes it.
    void Write(const QString &entry);

    // Moves the record into the folder of unit `folder`, once; later calls are ignored.
    void BelongsTo(const QString &folder);
    // The unit's folder once BelongsTo has placed it, else empty.
    QString Unit() const { return m_unit; }

private:
    bool Create(const QString &folder);

    QString m_dir;
    QString m_baseName;
    QFile m_file;
    QString m_error;
    bool m_placed = false;
    QString m_unit;
};
