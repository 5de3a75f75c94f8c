#pragma once

#include <QIcon>
#include <QString>

// A program's window icon: the icon it installs for the desktop, at every size it is
// installed at, from the program's resources under `folder` (":/quillon/icons/program"),
// so that title bars, task bars and switchers at any scale show the same picture as the
// menu entry rather than a small one enlarged.
QIcon ProgramIcon(const QString &folder);
