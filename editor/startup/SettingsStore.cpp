#include "SettingsStore.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QLocale>
#include <QLockFile>
#include <QSettings>
#include <QStandardPaths>
#include <QtDebug>

#include <charconv>
#include <cmath>
#include <map>
#include <memory>
#include <optional>
#include <utility>

namespace {

// The editor's keys take a few hundred bytes. A store far larger than anything it writes
// is damaged or planted, and QSettings would parse all of it on every read and write.
constexpr qint64 MaxStoreBytes = 1024 * 1024;
// QSettings waits without end for its lock file; a write waits this long at most.
constexpr int LockWaitMs = 200;

QString Path(const QString &section, const QString &key)
{
    return section + QLatin1Char('/') + key;
}

// The file QSettings keeps `appName`'s store in, or nothing where the store is not a file.
QString StoreFile(const QString &appName)
{
#ifdef Q_OS_WIN
    Q_UNUSED(appName);
    return {};
#else
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QLatin1Char('/') + QCoreApplication::organizationName() + QLatin1Char('/') + appName +
           QStringLiteral(".conf");
#endif
}

// Whether the store may be opened at all: checked before QSettings reads the file.
bool ReasonableSize(const QString &appName)
{
    const QFileInfo file(StoreFile(appName));
    if (file.filePath().isEmpty() || !file.isFile() || file.size() <= MaxStoreBytes)
        return true;
    static bool told = false;
    if (std::exchange(told, true))
        return false;
    qDebug().noquote() << "settings:" << file.filePath() << "holds" << file.size()
                       << "bytes, far more than this program writes; it is neither read nor "
                          "written";
    return false;
}

// Whether a write can take the store's lock within a short time. QSettings takes the same
// lock again as it writes; the probe only keeps it from waiting for a lock that a
// directory, a dangling link or an undeletable stale file holds for good.
bool LockAvailable(const QString &appName, const QString &key)
{
    const QString file = StoreFile(appName);
    if (file.isEmpty() || !QFileInfo(file).dir().exists())
        return true;
    // While the last try failed, a write only looks once and does not wait: a closing
    // frame stores several values for each window, and would wait for each of them.
    static bool lastTryFailed = false;
    const int wait = lastTryFailed ? 0 : LockWaitMs;
    QLockFile lock(file + QStringLiteral(".lock"));
    lastTryFailed = !lock.tryLock(wait);
    if (!lastTryFailed) {
        lock.unlock();
        return true;
    }
    qDebug().noquote() << "settings:" << key << "not stored: the lock" << file + ".lock"
                       << "could not be taken within" << wait << "ms";
    return false;
}

// Writes held back by the open WriteBatch objects: application name, then section/key.
int batchDepth = 0;
QHash<QString, QHash<QString, QString>> &HeldBack()
{
    static QHash<QString, QHash<QString, QString>> held;
    return held;
}

// Values read while a batch is open, for the batch's later reads: hundreds of windows
// opened together each read the same placement keys, and QSettings looks at the file
// again for each read. A missing key is remembered as no value.
QHash<QString, QHash<QString, std::optional<QString>>> &ReadDuringBatch()
{
    static QHash<QString, QHash<QString, std::optional<QString>>> read;
    return read;
}

// The store as a batch's reads see it, opened once for all of them: opening it looks for
// each of its files again, which was most of what a read cost, and a start reads a dozen
// keys before its frame can show. Null for a store that is not reasonable.
std::map<QString, std::unique_ptr<QSettings>> &OpenDuringBatch()
{
    static std::map<QString, std::unique_ptr<QSettings>> open;
    return open;
}

QSettings *BatchStore(const QString &appName)
{
    auto &open = OpenDuringBatch();
    const auto known = open.find(appName);
    if (known != open.end())
        return known->second.get();
    std::unique_ptr<QSettings> &store = open[appName];
    if (ReasonableSize(appName))
        store = std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope,
                                            QCoreApplication::organizationName(), appName);
    return store.get();
}

std::optional<QString> ReadStore(const QString &appName, const QString &path)
{
    std::optional<QSettings> own;
    QSettings *store = nullptr;
    if (batchDepth > 0) {
        store = BatchStore(appName);
    } else if (ReasonableSize(appName)) {
        store = &own.emplace(QSettings::NativeFormat, QSettings::UserScope,
                             QCoreApplication::organizationName(), appName);
    }
    if (!store)
        return std::nullopt;
    const QVariant value = store->value(path);
    // A value some other tool stored as a list or number still reads as its text form.
    if (!value.isValid() || !value.canConvert<QString>())
        return std::nullopt;
    return value.toString();
}

void Store(const QString &appName, const QHash<QString, QString> &values)
{
    // Settings may be skipped, never waited for: unsaved work in other windows must not
    // hang behind them.
    if (values.isEmpty() || !ReasonableSize(appName))
        return;
    QSettings store(QSettings::NativeFormat, QSettings::UserScope,
                    QCoreApplication::organizationName(), appName);
    // A frame closed where it was opened stores what the store already holds: the rewrite
    // would take the lock twice and sync the disk three times, for the same bytes.
    bool unchanged = true;
    for (auto value = values.constBegin(); unchanged && value != values.constEnd(); ++value) {
        const QVariant stored = store.value(value.key());
        unchanged = stored.typeId() == QMetaType::QString && stored.toString() == value.value();
    }
    if (unchanged || !LockAvailable(appName, values.constBegin().key()))
        return;
    for (auto value = values.constBegin(); value != values.constEnd(); ++value)
        store.setValue(value.key(), value.value());
}

} // namespace

QString GetSetting(const QString &appName, const QString &section, const QString &key,
                   const QString &defaultValue)
{
    const auto held = HeldBack().constFind(appName);
    if (held != HeldBack().constEnd()) {
        const auto value = held->constFind(Path(section, key));
        if (value != held->constEnd())
            return *value;
    }
    const QString path = Path(section, key);
    if (batchDepth == 0)
        return ReadStore(appName, path).value_or(defaultValue);
    auto &read = ReadDuringBatch()[appName];
    auto known = read.constFind(path);
    if (known == read.constEnd())
        known = read.insert(path, ReadStore(appName, path));
    return known->value_or(defaultValue);
}

void SaveSetting(const QString &appName, const QString &section, const QString &key,
                 const QString &value)
{
    if (batchDepth > 0) {
        HeldBack()[appName].insert(Path(section, key), value);
        return;
    }
    Store(appName, {{Path(section, key), value}});
}

namespace settings {

WriteBatch::WriteBatch()
{
    ++batchDepth;
}

WriteBatch::~WriteBatch()
{
    if (--batchDepth > 0)
        return;
    ReadDuringBatch().clear();
    OpenDuringBatch().clear();
    const auto held = std::exchange(HeldBack(), {});
    for (auto app = held.constBegin(); app != held.constEnd(); ++app)
        Store(app.key(), app.value());
}

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
