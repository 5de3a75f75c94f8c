#include "SettingsStore.h"

#include <QCoreApplication>
#include <QFile>
#include <QSettings>

#include <gtest/gtest.h>

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
