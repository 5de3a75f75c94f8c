#pragma once
// Opening the serial line to a unit, with a sentence for a person whenever it cannot be
// opened: which port, and what to do about it.

#include "CommSettings.h"

#include <QString>
#include <QStringList>

class QSerialPort;

namespace serialline {

// The port to open: `given` when there is one, else the only one of `present`, the
// ports the system lists. Fills `chosen`, or gives the reason there is none.
QString ChoosePort(const QString &given, const QStringList &present, QString &chosen);
QString ChoosePort(const QString &given, QString &chosen);

// Opens `port` on `path` at `settings`; an empty text when it is open.
QString Open(QSerialPort &port, const QString &path, const protocol::CommSettings &settings);

// What to do about a port this user may not open: join the group that owns it.
QString PermissionAdvice(const QString &path);

} // namespace serialline
