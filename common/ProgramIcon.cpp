#include "ProgramIcon.h"

#include <QImageReader>
#include <QPixmap>

QIcon ProgramIcon(const QString &folder)
{
    QStringList paths;
    for (const int size : {16, 32, 48, 64, 128, 256})
        paths << QStringLiteral("%1/%2.png").arg(folder).arg(size);
    return PngIcon(paths);
}

QIcon PngIcon(const QStringList &paths)
{
    QIcon icon;
    for (const QString &path : paths) {
        QImageReader reader(path, "png");
        reader.setAutoDetectImageFormat(false);
        const QImage image = reader.read();
        if (!image.isNull())
            icon.addPixmap(QPixmap::fromImage(image));
    }
    return icon;
}

bool HasIconTheme()
{
    const QString theme = QIcon::themeName();
    return !theme.isEmpty() && theme != QLatin1String("hicolor");
}
