#pragma once
// The window's switch for a record of every unit: off by default, kept in the settings
// file, and while on, every log entry also goes to a UnitRecord. A Read ESN that names a
// unit other than the one being recorded starts a new record with that command's
// entries, so each unit's record holds its own commands (the Read ESN that found the new
// unit is in the old record too, written before the unit was known).

#include <QString>
#include <QStringList>

#include <memory>
#include <optional>

class UnitRecord;

class UnitRecorder
{
public:
    UnitRecorder();
    ~UnitRecorder();

    bool IsOn() const;
    // Stores the switch; turning it off ends the record being written.
    void SetOn(bool on);

    // Where the records go: the setting "RecordDir", by default "records" in the
    // program's data folder.
    QString Folder() const;
    // The record being written, or empty.
    QString Path() const;

    // A command is being sent: the entries from here on are the command's own.
    void CommandStarts() { m_command.clear(); }
    // Adds one log entry (without the break that introduces it).
    void Write(const QString &entry);
    // The unit a successful Read ESN named, as its record folder.
    void UnitIs(const QString &folder);

private:
    // Read from the settings when first needed, which is after the window is on the
    // screen: a settings file is no part of what the first window shows.
    mutable std::optional<bool> m_on;
    bool m_failed = false; // said once, not again for every entry
    std::unique_ptr<UnitRecord> m_record;
    QStringList m_command; // the running command's entries so far
};
