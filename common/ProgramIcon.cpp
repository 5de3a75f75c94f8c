#include "ProgramIcon.h"

QIcon ProgramIcon(const QString &folder)
{
    QIcon icon;
    for (const int size : {16, 32, 48, 64, 128, 256})
        icon.addFile(QStringLiteral("%1/%2.png").arg(folder).arg(size), QSize(size, size));
    return icon;
}
