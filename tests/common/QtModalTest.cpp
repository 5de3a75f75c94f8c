#include "QtModal.h"

#include <gtest/gtest.h>

TEST(QtNameFilters, TurnsBarSeparatedPairsIntoQtFilters)
{
    const QStringList filters = QtNameFilters(QStringLiteral(
        "Torvane Config Files (*.cfg)|*.cfg|Ini Files (*.ini)|*.ini|All Files (*.*)|*.*"));
    ASSERT_EQ(filters.size(), 3);
    EXPECT_EQ(filters[0], QStringLiteral("Torvane Config Files (*.cfg)"));
    EXPECT_EQ(filters[1], QStringLiteral("Ini Files (*.ini)"));
    // "*.*" would hide files without a dot on this platform.
    EXPECT_EQ(filters[2], QStringLiteral("All Files (*)"));
}

TEST(QtNameFilters, DescriptionWithoutPatternAndOddTail)
{
    const QStringList filters = QtNameFilters(QStringLiteral("Text|*.txt;*.log|Dangling"));
    ASSERT_EQ(filters.size(), 1);
    EXPECT_EQ(filters[0], QStringLiteral("Text (*.txt *.log)"));
    EXPECT_TRUE(QtNameFilters(QString()).isEmpty());
}
