#include "OverflowIcons.h"

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QStyleFactory>
#include <QStyleOption>

#include <gtest/gtest.h>

#include <memory>

namespace {

// What a widget gets to see of an icon: its pixmaps at each size and mode, and what it
// paints into a rectangle.
QImage Painted(const QIcon &icon, int size, QIcon::Mode mode)
{
    QImage image(size + 6, size + 2, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    icon.paint(&painter, QRect(1, 1, size + 4, size), Qt::AlignCenter, mode);
    return image;
}

} // namespace

TEST(OverflowIcons, TheDeferredPicturesAreTheBaseStylesOwnAndAllElsePassesThrough)
{
    const std::unique_ptr<QStyle> base(QStyleFactory::create(QStringLiteral("fusion")));
    const std::unique_ptr<QStyle> deferring(
        startup::DeferOverflowIcons(QStyleFactory::create(QStringLiteral("fusion"))));
    ASSERT_TRUE(base && deferring);
    const struct
    {
        QStyle::StandardPixmap which;
        Qt::LayoutDirection direction;
    } rows[] = {
        {QStyle::SP_ToolBarHorizontalExtensionButton, Qt::LeftToRight},
        {QStyle::SP_ToolBarHorizontalExtensionButton, Qt::RightToLeft},
        {QStyle::SP_ToolBarVerticalExtensionButton, Qt::LeftToRight},
        {QStyle::SP_ArrowBack, Qt::RightToLeft},
        {QStyle::SP_DialogOkButton, Qt::LeftToRight},
    };
    for (const auto &row : rows) {
        QStyleOption option;
        option.direction = row.direction;
        const QIcon expected = base->standardIcon(row.which, &option);
        const QIcon deferred = deferring->standardIcon(row.which, &option);
        const QString label = QStringLiteral("%1 %2").arg(row.which).arg(row.direction);
        ASSERT_FALSE(expected.isNull()) << label.toStdString();
        EXPECT_FALSE(deferred.isNull()) << label.toStdString();
        EXPECT_EQ(deferred.availableSizes(), expected.availableSizes()) << label.toStdString();
        for (const int size : {8, 12, 16, 24, 32}) {
            for (const QIcon::Mode mode : {QIcon::Normal, QIcon::Disabled, QIcon::Active}) {
                EXPECT_EQ(deferred.actualSize(QSize(size, size), mode),
                          expected.actualSize(QSize(size, size), mode))
                    << label.toStdString() << " at " << size;
                EXPECT_EQ(deferred.pixmap(size, mode).toImage(),
                          expected.pixmap(size, mode).toImage())
                    << label.toStdString() << " at " << size;
                EXPECT_EQ(Painted(deferred, size, mode), Painted(expected, size, mode))
                    << label.toStdString() << " at " << size;
            }
        }
    }
}
