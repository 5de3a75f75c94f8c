// The catalogues a program loads for a locale: Qt's own, and the program's, falling back to
// English, whose plural forms keep the counted texts' English wording.

#include "PseudoLocale.h"

#include <QCoreApplication>

#include <gtest/gtest.h>

namespace {

QString Built(const char *program)
{
    return QStringLiteral(TORVANE_TRANSLATIONS_BUILD_DIR "/%1/translations")
        .arg(QLatin1String(program));
}

QString Counted(const char *context, const char *text, int n)
{
    return QCoreApplication::translate(context, text, nullptr, n);
}

} // namespace

TEST(TranslationsTest, EachLocaleGetsQtsTextsAndTheProgramsOwnOrEnglish)
{
    struct Case
    {
        QLocale locale;
        const char *program;
        QString cancel; // Qt's own button
        QString one;    // a counted text of the program's, once and twice
        QString two;
    };
    const Case cases[] = {
        {QLocale(QLocale::German, QLocale::Germany), "quillon", QStringLiteral("Abbrechen"),
         QStringLiteral("1 match"), QStringLiteral("2 matches")},
        {QLocale(QLocale::English, QLocale::UnitedKingdom), "probator", QStringLiteral("Cancel"),
         QStringLiteral("1 second"), QStringLiteral("2 seconds")},
        {QLocale::c(), "probator", QStringLiteral("Cancel"), QStringLiteral("1 second"),
         QStringLiteral("2 seconds")},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.locale.name().toStdString());
        const pseudolocale::Speaking speaking(QString::fromLatin1(c.program), c.locale,
                                              Built(c.program));
        EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "Cancel"), c.cancel);
        const bool editor = qstrcmp(c.program, "quillon") == 0;
        const char *context = editor ? "frmHelp" : "Torvane";
        const char *text = editor ? "%n match(es)" : "%n second(s)";
        EXPECT_EQ(Counted(context, text, 1), c.one);
        EXPECT_EQ(Counted(context, text, 2), c.two);
    }
}

TEST(TranslationsTest, ThePseudoCatalogueKeepsPlaceholdersAndPatterns)
{
    const pseudolocale::Speaking speaking(QStringLiteral("quillon"));
    const QString replaced =
        Counted("frmMain", "Replaced %n occurrence(s) of \"%1\".", 3).arg(QStringLiteral("x"));
    EXPECT_TRUE(replaced.contains(QStringLiteral("3"))) << replaced.toStdString();
    EXPECT_TRUE(replaced.contains(QStringLiteral("\"x\""))) << replaced.toStdString();
    EXPECT_FALSE(pseudolocale::IsPlain(replaced)) << replaced.toStdString();
    const QString filter = QCoreApplication::translate(
        "frmDocument",
        "Torvane Config Files (*.cfg)|*.cfg|Ini Files (*.ini)|*.ini|All Files (*.*)|*.*");
    EXPECT_EQ(filter.split(QLatin1Char('|')).mid(1, 1), QStringList{QStringLiteral("*.cfg")});
    EXPECT_TRUE(filter.contains(QStringLiteral("(*.cfg)"))) << filter.toStdString();
    EXPECT_FALSE(pseudolocale::IsPlain(filter)) << filter.toStdString();
}
