#pragma once
// The log saved as a file: the record of a session that a technician hands on.

#include <QString>

#include <optional>

// Writes `text` to `path` as UTF-8 with the platform's line breaks. The file appears
// whole or not at all: a file already at `path` is replaced only by a complete new one.
// Returns why the save failed, or nothing once the file is saved.
std::optional<QString> SaveLogFile(const QString &path, const QString &text);
