#pragma once
// The texts of a program and of Qt's own dialogs in the user's language.

#include <QLocale>
#include <QString>

namespace startup {

// Where `program`'s compiled translations are: beside the program's own installation
// (<prefix>/share/<program>/translations for <prefix>/bin/<program>), which is also where
// the build tree puts them.
QString TranslationsFolder(const QString &program);

// Installs Qt's translations for `locale` and `program`'s own from `folder`. Where the
// program has no catalogue for the language, its English one is used, which gives the
// counted texts their singular forms. Loading is a few file look-ups and a mapping of
// small files: nothing is parsed before a text is asked for.
void InstallTranslations(const QString &program, const QLocale &locale, const QString &folder);

} // namespace startup
