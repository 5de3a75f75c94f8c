// The application's style keeps the title bar's pictures, and every picture it gives is
// the one the style it wraps would give, whatever was asked for before.

#include "CachedIconStyle.h"

#include <QApplication>
#include <QImage>
#include <QStyleFactory>

#include <gtest/gtest.h>

#include <memory>

TEST(CachedIconStyle, GivesEachPictureOfTheStyleItWrapsAskedInAnyOrder)
{
    auto *style = qobject_cast<CachedIconStyle *>(QApplication::style());
    ASSERT_NE(style, nullptr) << "the tests run with the programs' own style";
    const std::unique_ptr<QStyle> plain(QStyleFactory::create(style->baseStyle()->name()));
    ASSERT_NE(plain, nullptr);
    const QStyle::StandardPixmap asked[] = {
        QStyle::SP_TitleBarCloseButton, QStyle::SP_TitleBarMinButton,
        QStyle::SP_TitleBarMaxButton,   QStyle::SP_TitleBarNormalButton,
        QStyle::SP_TitleBarMenuButton,  QStyle::SP_FileIcon,
        QStyle::SP_DialogOkButton,      QStyle::SP_TitleBarCloseButton,
        QStyle::SP_TitleBarMinButton,   QStyle::SP_DialogOkButton};
    for (const QStyle::StandardPixmap icon : asked) {
        const QImage expected = plain->standardIcon(icon).pixmap(16, 16).toImage();
        EXPECT_EQ(style->standardIcon(icon).pixmap(16, 16).toImage(), expected) << icon;
    }
}
