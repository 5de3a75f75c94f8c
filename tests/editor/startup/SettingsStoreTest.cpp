#include "SettingsStore.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QSettings>

#include <gtest/gtest.h>

#include <functional>

namespace {

class SettingsStore : public ::testing::Test
{
protected:
    void SetUp() override { Clear(); }
    void TearDown() override { Clear(); }
    static void Clear()
    {
        QSettings(QSettings::NativeFormat, QSettings::UserScope,
                  QCoreApplication::organizationName(), EditorAppName)
            .clear();
    }
};

} // namespace

TEST_F(SettingsStore, MissingKeyGivesTheDefaultAndWrittenTextReadsBack)
{
    EXPECT_EQ(GetSetting(EditorAppName, EditorSection, "ChildWidth", "8500"), "8500");
    SaveSetting(EditorAppName, EditorSection, "ChildWidth", "6000");
    EXPECT_EQ(GetSetting(EditorAppName, EditorSection, "ChildWidth", "8500"), "6000");
    // Another application name is another store.
    EXPECT_EQ(GetSetting("Other", EditorSection, "ChildWidth", "1"), "1");

    // Inside a batch, what was read once and then written reads as written; a missing key
    // still gives each read's own default; the store has the value once the batch ends.
    {
        const settings::WriteBatch batch;
        EXPECT_EQ(GetSetting(EditorAppName, EditorSection, "ChildWidth", "8500"), "6000");
        EXPECT_EQ(GetSetting(EditorAppName, EditorSection, "ChildTop", "200"), "200");
        EXPECT_EQ(GetSetting(EditorAppName, EditorSection, "ChildTop", "300"), "300");
        SaveSetting(EditorAppName, EditorSection, "ChildWidth", "7000");
        SaveSetting(EditorAppName, EditorSection, "ChildTop", "100");
        EXPECT_EQ(GetSetting(EditorAppName, EditorSection, "ChildWidth", "8500"), "7000");
        EXPECT_EQ(GetSetting(EditorAppName, EditorSection, "ChildTop", "200"), "100");
    }
    QSettings store(QSettings::NativeFormat, QSettings::UserScope,
                    QCoreApplication::organizationName(), EditorAppName);
    EXPECT_EQ(store.value("Settings/ChildWidth").toString(), "7000");
    // Nor does a batch's memory outlive it: the next batch reads what was written since.
    store.setValue("Settings/ChildWidth", "6500");
    store.sync();
    const settings::WriteBatch next;
    EXPECT_EQ(GetSetting(EditorAppName, EditorSection, "ChildWidth", "8500"), "6500");
}

TEST_F(SettingsStore, LandsInTheOrganisationsFileAsText)
{
    SaveSetting(EditorAppName, EditorSection, "MainState", "2");
    QSettings store(QSettings::NativeFormat, QSettings::UserScope,
                    QCoreApplication::organizationName(), EditorAppName);
    EXPECT_TRUE(store.fileName().contains(QCoreApplication::organizationName()));
    store.sync();
    QFile file(store.fileName());
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray content = file.readAll();
    EXPECT_TRUE(content.contains("[Settings]")) << content.constData();
    EXPECT_TRUE(content.contains("MainState=2")) << content.constData();
}

TEST_F(SettingsStore, NumbersReadDefensively)
{
    using settings::ReadNumber;
    const auto read = [](const char *stored) {
        SaveSetting(EditorAppName, EditorSection, "ChildLeft", stored);
        return ReadNumber("ChildLeft", 500, settings::MinPosition, settings::MaxPosition);
    };
    EXPECT_EQ(read("1234"), 1234.0f);
    EXPECT_EQ(read(" 8500.5 "), 8500.5f);
    EXPECT_EQ(read("-300"), -300.0f);
    for (const char *garbage : {"", "abc", "12abc", "nan", "inf", "1e30", "1,5", "0x10"})
        EXPECT_EQ(read(garbage), 500.0f) << garbage;
    SaveSetting(EditorAppName, EditorSection, "ChildWidth", "0");
    EXPECT_EQ(ReadNumber("ChildWidth", 8500, settings::MinExtent, settings::MaxExtent), 8500.0f);
}

TEST_F(SettingsStore, WindowStateOnlyZeroOneOrTwo)
{
    const auto read = [](const char *stored) {
        SaveSetting(EditorAppName, EditorSection, "ChildState", stored);
        return settings::ReadWindowState("ChildState", 0);
    };
    EXPECT_EQ(read("2"), 2);
    EXPECT_EQ(read("1"), 1);
    for (const char *garbage : {"3", "-1", "65536", "two", "1.5", ""})
        EXPECT_EQ(read(garbage), 0) << garbage;
}

TEST_F(SettingsStore, NumberTextIsShortAndRoundTrips)
{
    EXPECT_EQ(settings::NumberText(8500.0f), "8500");
    EXPECT_EQ(settings::NumberText(8500.5f), "8500.5");
    EXPECT_EQ(settings::NumberText(-15.0f), "-15");
    settings::WriteNumber("ChildTop", 0.1f);
    EXPECT_EQ(settings::ReadNumber("ChildTop", 200, settings::MinPosition, settings::MaxPosition),
              0.1f);
}

namespace {

// The debug output while it lives.
class DebugOutput
{
public:
    DebugOutput()
    {
        s_lines.clear();
        s_previous = qInstallMessageHandler(&Capture);
    }
    ~DebugOutput() { qInstallMessageHandler(s_previous); }
    QString Text() const { return s_lines.join(QLatin1Char('\n')); }

private:
    static void Capture(QtMsgType, const QMessageLogContext &, const QString &message)
    {
        s_lines << message;
    }
    static inline QStringList s_lines;
    static inline QtMessageHandler s_previous = nullptr;
};

QString StoreFile()
{
    return QSettings(QSettings::NativeFormat, QSettings::UserScope,
                     QCoreApplication::organizationName(), EditorAppName)
        .fileName();
}

} // namespace

TEST_F(SettingsStore, ALockThatCannotBeTakenSkipsTheWriteAndSaysSo)
{
    SaveSetting(EditorAppName, EditorSection, "MainState", "1");
    const QString lockPath = StoreFile() + QStringLiteral(".lock");
    struct Case
    {
        const char *name;
        std::function<void()> block;
        std::function<void()> unblock;
    };
    QLockFile heldHere(lockPath);
    const Case cases[] = {
        {"a folder", [&] { QDir().mkdir(lockPath); }, [&] { QDir().rmdir(lockPath); }},
        {"a lock another writer holds", [&] { ASSERT_TRUE(heldHere.lock()); },
         [&] { heldHere.unlock(); }},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        c.block();
        {
            DebugOutput debug;
            // Returns at all: QSettings alone would wait for this lock for ever.
            SaveSetting(EditorAppName, EditorSection, "MainState", "2");
            EXPECT_TRUE(debug.Text().contains(QStringLiteral("MainState not stored")))
                << debug.Text().toStdString();
        }
        {
            // What the store already holds needs neither the lock nor a write.
            DebugOutput debug;
            SaveSetting(EditorAppName, EditorSection, "MainState", "1");
            EXPECT_TRUE(debug.Text().isEmpty()) << debug.Text().toStdString();
        }
        c.unblock();
        EXPECT_EQ(GetSetting(EditorAppName, EditorSection, "MainState", "0"), "1");
    }
    // A dangling link may be taken for a stale lock and replaced; either way the write
    // comes back.
    ASSERT_TRUE(QFile::link(lockPath + QStringLiteral(".gone"), lockPath));
    SaveSetting(EditorAppName, EditorSection, "MainState", "2");
    QFile::remove(lockPath);
    SaveSetting(EditorAppName, EditorSection, "MainState", "2");
    EXPECT_EQ(GetSetting(EditorAppName, EditorSection, "MainState", "0"), "2");
}

TEST_F(SettingsStore, AnUnreasonablyLargeStoreIsNeitherReadNorWritten)
{
    SaveSetting(EditorAppName, EditorSection, "MainState", "2");
    QFile file(StoreFile());
    ASSERT_TRUE(file.open(QIODevice::Append));
    const QByteArray filler = "[Filler]\n" + QByteArray(1100 * 1024, 'x') + "=1\n";
    ASSERT_EQ(file.write(filler), filler.size());
    file.close();
    const qint64 size = QFileInfo(file).size();

    DebugOutput debug;
    EXPECT_EQ(GetSetting(EditorAppName, EditorSection, "MainState", "0"), "0");
    SaveSetting(EditorAppName, EditorSection, "MainState", "1");
    EXPECT_EQ(QFileInfo(file).size(), size);
    EXPECT_TRUE(debug.Text().contains(QStringLiteral("neither read nor written")))
        << debug.Text().toStdString();
    QFile::remove(StoreFile());
}
