#pragma once

#include <QDateTime>
#include <QLocale>
#include <QString>

// The log's time stamp: the short date and the long time of `locale`, joined by a
// blank, without a time-zone name and with a four-digit year.
QString TimeStamp(const QLocale &locale, const QDateTime &when);
