#include "BenchSupport.h"

#include "Encryption.h"
#include "modUnicodeRW.h"

#include <QDir>

#include <cstdlib>

void UseScratchHome(const QString &root)
{
    for (const char *name : {"HOME", "XDG_CONFIG_HOME"}) {
        const QString path = root + QLatin1Char('/') + QLatin1String(name);
        QDir().mkpath(path);
        ::setenv(name, path.toLocal8Bit().constData(), 1);
    }
}

void WriteLargestConfig(const QString &path)
{
    constexpr std::size_t Units = 32766;
    std::u16string plain;
    for (int line = 0; plain.size() < Units; ++line) {
        const QString text = QStringLiteral("key%1=value %2 for the device settings\r\n")
                                 .arg(line, 5, 10, QLatin1Char('0'))
                                 .arg(line * 7);
        plain += text.toStdU16String();
    }
    plain.resize(Units);
    WriteUnicodeFile(path.toStdU16String(), EnCrypt(plain, DocumentKey), false);
}
