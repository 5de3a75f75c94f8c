#include "SettingsStore.h"

#include <QCoreApplication>
#include <QLocale>
#include <QSettings>

#include <charconv>
#include <cmath>

namespace {

QString Path(const QString &section, const QString &key)
{
    return section + QLatin1Char('/') + key;
}

} // namespace

QString GetSetting(const QString &appName, const QString &section, const QString &key,
                   const QString &defaultValue)
{
    QSettings store(QSettings::NativeFormat, QSettings::UserScope,
                    QCoreApplication::organizationName(), appName);
    const QVariant value = store.value(Path(section, key));
    // A value some other tool stored as a list or number still reads as its text form.
    if (!value.isValid() || !value.canConvert<QString>())
        return defaultValue;
    return value.toString();
}

void SaveSetting(const QString &appName, const QString &section, const QString &key,
                 const QString &value)
{
    QSettings store(QSettings::NativeFormat, QSettings::UserScope,
                    QCoreApplication::organizationName(), appName);
    store.setValue(Path(section, key), value);
}

namespace settings {

float ReadNumber(const QString &key, float defaultValue, float minimum, float maximum)
{
    const QString text =
        GetSetting(EditorAppName, EditorSection, key, NumberText(defaultValue)).trimmed();
    bool ok = false;
    // The C locale, as the values are written: "8500.5" must not depend on the user's locale.
    const double value = QLocale::c().toDouble(text, &ok);
    if (!ok || !std::isfinite(value) || value < minimum || value > maximum)
        return defaultValue;
    return static_cast<float>(value);
}

int ReadWindowState(const QString &key, int defaultValue)
{
    const QString text =
        GetSetting(EditorAppName, EditorSection, key, QString::number(defaultValue)).trimmed();
    bool ok = false;
    const int state = QLocale::c().toInt(text, &ok);
    if (!ok || state < 0 || state > 2)
        return defaultValue;
    return state;
}

QString NumberText(float value)
{
    char buffer[32];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    return QString::fromLatin1(buffer, static_cast<qsizetype>(result.ptr - buffer));
}

void WriteNumber(const QString &key, float value)
{
    SaveSetting(EditorAppName, EditorSection, key, NumberText(value));
}

void WriteWindowState(const QString &key, int state)
{
    SaveSetting(EditorAppName, EditorSection, key, QString::number(state));
}

} // namespace settings
