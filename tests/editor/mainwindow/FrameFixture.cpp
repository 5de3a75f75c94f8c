#include "FrameFixture.h"

#include <QAction>
#include <QCoreApplication>
#include <QFile>

void FrameTest::SetUp()
{
    ASSERT_TRUE(scratch.isValid());
    Store().clear();
}

void FrameTest::TearDown()
{
    frame.reset();
    MainWindow = nullptr;
    Settle();
}

frmMain &FrameTest::Frame()
{
    if (!frame) {
        frame = std::make_unique<frmMain>(modal);
        MainWindow = frame.get();
    }
    return *frame;
}

bool FrameTest::CloseFrame()
{
    const bool closed = Frame().close();
    Settle();
    return closed;
}

void FrameTest::Settle()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
}

QSettings FrameTest::Store()
{
    return QSettings(QSettings::NativeFormat, QSettings::UserScope,
                     QCoreApplication::organizationName(), QStringLiteral("Quillon"));
}

QString FrameTest::Stored(const QString &key)
{
    return Store().value(QStringLiteral("Settings/") + key).toString();
}

void FrameTest::Store(const QString &key, const QString &value)
{
    Store().setValue(QStringLiteral("Settings/") + key, value);
}

QAction *FrameTest::Item(const QString &name)
{
    auto *item = Frame().findChild<QAction *>(name);
    EXPECT_NE(item, nullptr) << name.toStdString();
    return item;
}

QString FrameTest::MakeFile(const QString &name, const QByteArray &bytes)
{
    const QString path = scratch.filePath(name);
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
    return path;
}
