#pragma once
// The per-user settings store: texts addressed by application name, section and key.
// Backed by QSettings under the application's organisation, so the values land in
// ~/.config/<organisation>/<appName>.conf on Linux and in the registry on Windows.

#include <QString>

// The editor keeps all its keys under this application name and section.
inline const QString EditorAppName = QStringLiteral("Quillon");
inline const QString EditorSection = QStringLiteral("Settings");

// The stored text, or `defaultValue` when the key is missing.
QString GetSetting(const QString &appName, const QString &section, const QString &key,
                   const QString &defaultValue);

// Stores `value` as text (never as a number, so every back end holds the same form).
// Skipped, with a word on the debug output, when the store's lock cannot be taken within
// a short time or its file is unreasonably large (which GetSetting does not read either).
void SaveSetting(const QString &appName, const QString &section, const QString &key,
                 const QString &value);

namespace settings {

// Holds back the writes made while it lives and stores them together when the outermost
// one ends: a user action that opens or closes hundreds of windows then rewrites the store
// (and waits for it to reach the disk) once, not several times for each window. Reads
// made meanwhile see the held-back values, and each key is read from the store only once.
class WriteBatch
{
public:
    WriteBatch();
    ~WriteBatch();
    WriteBatch(const WriteBatch &) = delete;
    WriteBatch &operator=(const WriteBatch &) = delete;
};

// Window placement values go through these so that one bad stored value cannot stop a
// window from opening: a value that is not a number, or lies outside [minimum, maximum],
// reads as `defaultValue`.
float ReadNumber(const QString &key, float defaultValue, float minimum, float maximum);

// A window state: 0 normal, 1 minimised, 2 maximised; anything else reads as the default.
int ReadWindowState(const QString &key, int defaultValue);

// The shortest decimal text that reads back as the same single-precision number
// ("8500", "8500.5").
QString NumberText(float value);

void WriteNumber(const QString &key, float value);
void WriteWindowState(const QString &key, int state);

// Limits of a stored placement in twips: generous enough for any real screen, small
// enough that a corrupt value cannot produce an absurd window.
inline constexpr float MinPosition = -1'000'000.0f;
inline constexpr float MaxPosition = 1'000'000.0f;
inline constexpr float MinExtent = 1.0f;
inline constexpr float MaxExtent = 1'000'000.0f;

} // namespace settings
