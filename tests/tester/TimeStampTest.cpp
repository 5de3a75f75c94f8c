#include "TimeStamp.h"

#include <QTimeZone>

#include <gtest/gtest.h>

TEST(TimeStamp, UsEnglishShortDateAndLongTime)
{
    const QLocale us(QStringLiteral("en_US"));
    const QDate date(2026, 12, 7);
    EXPECT_EQ(TimeStamp(us, QDateTime(date, QTime(7, 3, 40))),
              QStringLiteral("12/7/2026 7:03:40 AM"));
    EXPECT_EQ(TimeStamp(us, QDateTime(date, QTime(19, 3, 40))),
              QStringLiteral("12/7/2026 7:03:40 PM"));
    EXPECT_EQ(TimeStamp(us, QDateTime(date, QTime(0, 0, 5))),
              QStringLiteral("12/7/2026 12:00:05 AM"));
}

TEST(TimeStamp, FollowsTheRegionalFormat)
{
    const QDateTime when(QDate(2026, 12, 7), QTime(7, 3, 40));
    EXPECT_EQ(TimeStamp(QLocale(QStringLiteral("de_DE")), when),
              QStringLiteral("07.12.2026 07:03:40"));
    EXPECT_EQ(TimeStamp(QLocale(QStringLiteral("en_GB")), when),
              QStringLiteral("07/12/2026 07:03:40"));
}

TEST(TimeStamp, NoLocaleShowsATimeZoneName)
{
    const QDateTime utc(QDate(2026, 12, 7), QTime(7, 3, 40), QTimeZone::utc());
    const QDateTime local(QDate(2026, 12, 7), QTime(7, 3, 40));
    const QString zone = local.timeZoneAbbreviation();
    int checked = 0;
    for (const QLocale &locale : QLocale::matchingLocales(QLocale::AnyLanguage, QLocale::AnyScript,
                                                          QLocale::AnyTerritory)) {
        const QString stamp = TimeStamp(locale, utc);
        EXPECT_FALSE(stamp.contains(QStringLiteral("UTC"))) << locale.name().toStdString();
        EXPECT_FALSE(stamp.contains(QStringLiteral("GMT"))) << locale.name().toStdString();
        EXPECT_FALSE(stamp.endsWith(QLatin1Char(' '))) << locale.name().toStdString();
        EXPECT_FALSE(stamp.endsWith(QLatin1Char(','))) << locale.name().toStdString();
        EXPECT_FALSE(stamp.contains(QStringLiteral("()"))) << locale.name().toStdString();
        EXPECT_FALSE(stamp.contains(QStringLiteral("[]"))) << locale.name().toStdString();
        if (!zone.isEmpty() && zone != QStringLiteral("UTC")) {
            EXPECT_FALSE(TimeStamp(locale, local).contains(zone)) << locale.name().toStdString();
        }
        ++checked;
    }
    EXPECT_GT(checked, 100);
}
