#include "TimeStamp.h"

#include "QtText.h"
#include "StampFormat.h"

QString TimeStamp(const QLocale &locale, const QDateTime &when)
{
    const QString dateFormat = tester::ToQString(
        tester::WithFullYear(tester::View(locale.dateFormat(QLocale::ShortFormat))));
    const QString timeFormat = tester::ToQString(
        tester::WithoutTimeZone(tester::View(locale.timeFormat(QLocale::LongFormat))));
    return locale.toString(when.date(), dateFormat) + QLatin1Char(' ') +
           locale.toString(when.time(), timeFormat);
}
