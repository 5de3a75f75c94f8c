#include "DocumentFixture.h"

#include "Encryption.h"
#include "SettingsStore.h"
#include "modUnicodeRW.h"

#include <QCoreApplication>
#include <QFile>
#include <QSettings>
#include <QTest>

void DocumentTest::SetUp()
{
    ASSERT_TRUE(scratch.isValid());
    ClearSettings();
    modal = std::make_unique<ScriptedModal>();
    area = std::make_unique<QMdiArea>();
    area->resize(1200, 900);
    area->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(area.get()));
    MainWindow = &frame;
}

void DocumentTest::TearDown()
{
    // Whatever is still open goes without questions, and before the scripted answers are
    // checked for leftovers.
    for (QMdiSubWindow *window : area->subWindowList()) {
        if (auto *document = qobject_cast<frmDocument *>(window))
            document->setChanged(false);
    }
    area.reset();
    modal.reset();
    MainWindow = nullptr;
    ClearSettings();
}

frmDocument *DocumentTest::NewDocument(bool firstDocument)
{
    auto *document = new frmDocument(*modal);
    area->addSubWindow(document);
    document->FirstDocument = firstDocument;
    document->Form_Load();
    document->setWindowTitle(QStringLiteral("Document %1").arg(++count));
    document->show();
    return document;
}

QString DocumentTest::Path(const QString &name) const
{
    return scratch.filePath(name);
}

void DocumentTest::WriteConfig(const QString &path, const QString &plain) const
{
    WriteUnicodeFile(path.toStdU16String(), EnCrypt(plain.toStdU16String(), DocumentKey), false);
}

void DocumentTest::WriteBytes(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    ASSERT_EQ(file.write(bytes), bytes.size());
}

QByteArray DocumentTest::ReadBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(unreadable)");
}

QString DocumentTest::ReadConfig(const QString &path)
{
    return QString::fromStdU16String(
        DeCrypt(ReadUnicodeFile(path.toStdU16String(), false), DocumentKey));
}

void DocumentTest::ClearSettings()
{
    QSettings(QSettings::NativeFormat, QSettings::UserScope, QCoreApplication::organizationName(),
              EditorAppName)
        .clear();
}
