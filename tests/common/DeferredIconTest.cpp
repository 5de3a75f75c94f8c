// A deferred icon makes its pictures once, when first drawn or measured, and then draws
// exactly what the icon it made would, at every size and screen scale.

#include "DeferredIcon.h"

#include <QImage>
#include <QPainter>
#include <QPixmap>

#include <gtest/gtest.h>

namespace {

QIcon Pictures()
{
    QIcon icon;
    for (const int size : {16, 24, 32}) {
        QImage image(size, size, QImage::Format_ARGB32);
        image.fill(Qt::transparent);
        QPainter painter(&image);
        painter.fillRect(0, 0, size / 2, size, QColor(size * 7, 40, 200));
        icon.addPixmap(QPixmap::fromImage(image));
    }
    return icon;
}

} // namespace

TEST(DeferredIcon, MadeOnceOnFirstNeedAndSharedByItsCopies)
{
    int made = 0;
    const QIcon icon = DeferredIcon([&made] {
        ++made;
        return Pictures();
    });
    QIcon copy = icon;
    EXPECT_FALSE(copy.isNull());
    EXPECT_EQ(made, 0) << "a button laid out by its icon size made the pictures";
    EXPECT_FALSE(copy.pixmap(16, 16).isNull());
    EXPECT_FALSE(icon.pixmap(24, 24).isNull());
    EXPECT_EQ(made, 1);
}

TEST(DeferredIcon, DrawsWhatTheMadeIconDrawsAtEveryScale)
{
    const QIcon expected = Pictures();
    const QIcon icon = DeferredIcon(&Pictures);
    EXPECT_EQ(icon.availableSizes(), expected.availableSizes());
    for (const qreal scale : {1.0, 1.25, 1.5, 2.0, 3.0}) {
        for (const int size : {8, 12, 16, 20, 24, 32, 48}) {
            const QSize asked(size, size);
            const QPixmap want = expected.pixmap(asked, scale);
            const QPixmap got = icon.pixmap(asked, scale);
            EXPECT_EQ(got.devicePixelRatio(), want.devicePixelRatio()) << scale << " " << size;
            EXPECT_EQ(got.toImage(), want.toImage()) << scale << " " << size;
            EXPECT_EQ(icon.actualSize(asked), expected.actualSize(asked)) << size;
            QImage drawn(64, 64, QImage::Format_ARGB32_Premultiplied);
            drawn.setDevicePixelRatio(scale);
            drawn.fill(Qt::transparent);
            QImage wanted = drawn;
            {
                QPainter painter(&drawn);
                icon.paint(&painter, QRect(3, 3, size, size));
            }
            {
                QPainter painter(&wanted);
                expected.paint(&painter, QRect(3, 3, size, size));
            }
            EXPECT_EQ(drawn, wanted) << scale << " " << size;
        }
    }
}
