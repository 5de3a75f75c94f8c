#include "Translations.h"

#include <QCoreApplication>
#include <QDir>
#include <QLibraryInfo>
#include <QTranslator>

namespace startup {

QString TranslationsFolder(const QString &program)
{
    return QDir(QCoreApplication::applicationDirPath())
        .absoluteFilePath(QStringLiteral("../share/%1/translations").arg(program));
}

void InstallTranslations(const QString &program, const QLocale &locale, const QString &folder)
{
    auto *app = QCoreApplication::instance();
    // Installed first, searched last: the program's own texts win over Qt's.
    auto *qt = new QTranslator(app);
    if (qt->load(locale, QStringLiteral("qtbase"), QStringLiteral("_"),
                 QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(qt);
    else
        delete qt;

    auto *own = new QTranslator(app);
    if (own->load(locale, program, QStringLiteral("_"), folder) ||
        own->load(program + QStringLiteral("_en"), folder))
        QCoreApplication::installTranslator(own);
    else
        delete own;
}

} // namespace startup
