#include "ProgramIcon.h"

#include <QEvent>
#include <QImageReader>
#include <QPixmap>
#include <QTimer>
#include <QWidget>

#include <initializer_list>

namespace {

QStringList Sizes(const QString &folder, std::initializer_list<int> sizes)
{
    QStringList paths;
    for (const int size : sizes)
        paths << QStringLiteral("%1/%2.png").arg(folder).arg(size);
    return paths;
}

// Adds the large sizes after the window's first paint, which comes once it is shown.
class LargeIcon : public QObject
{
public:
    LargeIcon(QWidget *window, const QString &folder) : QObject(window), m_folder(folder)
    {
        window->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() != QEvent::Paint)
            return false;
        watched->removeEventFilter(this);
        QTimer::singleShot(0, this, [this] {
            auto *window = static_cast<QWidget *>(parent());
            window->setWindowIcon(PngIcon(Sizes(m_folder, {16, 32, 48, 64, 128, 256})));
            deleteLater();
        });
        return false;
    }

private:
    QString m_folder;
};

} // namespace

void SetProgramIcon(QWidget *window, const QString &folder)
{
    window->setWindowIcon(PngIcon(Sizes(folder, {16, 32, 48, 64})));
    new LargeIcon(window, folder);
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
