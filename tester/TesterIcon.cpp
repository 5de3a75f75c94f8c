#include "TesterIcon.h"

#include <QPainter>
#include <QPixmap>

QIcon TesterIcon()
{
    QIcon icon;
    for (const int size : {16, 32, 48, 64}) {
        QPixmap pixmap(size, size);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        painter.setRenderHint(QPainter::Antialiasing);
        const qreal unit = size / 16.0;
        painter.setPen(QPen(QColor(30, 40, 60), unit * 0.8));
        painter.setBrush(QColor(70, 110, 170));
        painter.drawRoundedRect(QRectF(3 * unit, 4 * unit, 8 * unit, 11 * unit), unit, unit);
        painter.setBrush(QColor(190, 230, 200));
        painter.drawRect(QRectF(4.5 * unit, 5.5 * unit, 5 * unit, 4 * unit));
        painter.setBrush(Qt::NoBrush);
        painter.setPen(QPen(QColor(220, 120, 30), unit));
        painter.drawArc(QRectF(9 * unit, 0.5 * unit, 6 * unit, 6 * unit), 0, 90 * 16);
        painter.drawArc(QRectF(11 * unit, 2.5 * unit, 2 * unit, 2 * unit), 0, 90 * 16);
        painter.end();
        icon.addPixmap(pixmap);
    }
    return icon;
}
