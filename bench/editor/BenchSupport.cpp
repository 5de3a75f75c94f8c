#include "BenchSupport.h"

#include "Encryption.h"
#include "modUnicodeRW.h"

#include "Startup.h"
#include "frmDocument.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QMdiArea>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cstdlib>

void UseScratchHome(const QString &root)
{
    // The runtime folder as well, so that a timed start never hands its file to an editor
    // the user has open.
    for (const char *name : {"HOME", "XDG_CONFIG_HOME", "XDG_RUNTIME_DIR"}) {
        const QString path = root + QLatin1Char('/') + QLatin1String(name);
        QDir().mkpath(path);
        ::setenv(name, path.toLocal8Bit().constData(), 1);
    }
    QFile::setPermissions(root + QStringLiteral("/XDG_RUNTIME_DIR"),
                          QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
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

void WriteSmallConfig(const QString &path)
{
    const std::u16string plain = u"[Unit]\r\nName=bench\r\nBaud=115200\r\n";
    WriteUnicodeFile(path.toStdU16String(), EnCrypt(plain, DocumentKey), false);
}

int RunEditorBenchmarks(int argc, char **argv, const std::function<void(const QString &)> &prepare,
                        const std::function<void()> &summarise)
{
    QTemporaryDir scratch;
    if (!scratch.isValid())
        return 2;
    UseScratchHome(scratch.path());
    QApplication app(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("TorvaneBench"));
    startup::InstallFontFallbacks();
    startup::InstallCachedIconStyle();
    if (prepare)
        prepare(scratch.path());

    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    if (summarise)
        summarise();
    return 0;
}

frmDocument *ShowMaximizedDocument(QMdiArea &area, Modal &modal)
{
    area.resize(1000, 700);
    auto *document = new frmDocument(modal);
    area.addSubWindow(document);
    document->showMaximized();
    area.show();
    return document;
}
