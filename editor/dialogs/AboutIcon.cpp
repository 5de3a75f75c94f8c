#include "AboutIcon.h"

#include <QImage>
#include <QPainter>
#include <QPolygon>

QPixmap AboutIcon()
{
    // Drawn without smoothing so that no blended colour outside the palette appears.
    const QColor black(0, 0, 0);
    const QColor white(255, 255, 255);
    const QColor grey(128, 128, 128);
    const QColor navy(0, 0, 128);
    const QColor teal(0, 128, 128);
    const QColor yellow(255, 255, 0);

    QImage image(32, 32, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing, false);

    // The sheet, with a shadow and a few written lines.
    painter.fillRect(QRect(6, 5, 20, 25), grey);
    painter.fillRect(QRect(4, 3, 20, 25), white);
    painter.setPen(black);
    painter.drawRect(QRect(4, 3, 19, 24));
    painter.setPen(grey);
    for (int y = 9; y <= 23; y += 4)
        painter.drawLine(7, y, 18, y);

    // The quill: a feather from the top right down to a nib near the bottom left.
    painter.setPen(navy);
    painter.setBrush(teal);
    painter.drawPolygon(QPolygon({QPoint(30, 1), QPoint(24, 4), QPoint(16, 13), QPoint(12, 21),
                                  QPoint(19, 15), QPoint(27, 8)}));
    painter.setPen(navy);
    painter.drawLine(29, 2, 10, 23);
    painter.setPen(yellow);
    painter.drawLine(11, 22, 8, 26);
    painter.setPen(black);
    painter.drawPoint(7, 27);
    painter.end();

    return QPixmap::fromImage(image);
}
