// Saving the log from its context menu, opened and worked with keys and a right click as
// a person does, the file read back byte for byte.
#include "AsPerson.h"
#include "FakeDevice.h"
#include "LogView.h"
#include "ScriptedModal.h"
#include "frmTest.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QMenu>
#include <QPointer>
#include <QRegularExpression>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <csignal>

#include <sys/resource.h>

namespace {

using asperson::Press;

QByteArray Bytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

class LogSave : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        m_oldLocale = QLocale();
        QLocale::setDefault(QLocale(QStringLiteral("en_US")));
        fake = new FakeDevice;
        window = new frmTest(modal, fake);
        window->SetClock([] { return QDateTime(QDate(2026, 12, 7), QTime(7, 3, 40)); });
        ASSERT_TRUE(asperson::Activate(*window));
    }

    void TearDown() override
    {
        delete window.data();
        QLocale::setDefault(m_oldLocale);
    }

    LogView *Log() const { return window->findChild<LogView *>("txtMessages"); }

    // Sends "Read ESN", during which the device says `message`.
    void RunWith(const QString &message)
    {
        fake->onExecute = [this, message](qint32) {
            emit fake->MessageReceived(message);
            emit fake->ResponseReceived(QStringLiteral("A\r\nB"));
            return CommandResult{true, {}, {}};
        };
        Press(Qt::Key_Down);
        Press(Qt::Key_Return);
        ASSERT_EQ(fake->executed.size(), 1u);
    }

    // Right-clicks the log and picks the last entry of its menu with the keys.
    QStringList SaveFromTheMenu() { return PickFromTheMenu(1); }

    // Right-clicks the log and picks the entry `fromEnd` places from its end with the keys.
    QStringList PickFromTheMenu(int fromEnd)
    {
        QStringList shown;
        const QPoint where = Log()->viewport()->mapTo(window, QPoint(20, 20));
        QTest::mouseClick(window->windowHandle(), Qt::RightButton, {}, where);
        if (!QTest::qWaitFor(
                [] { return qobject_cast<QMenu *>(QApplication::activePopupWidget()); })) {
            ADD_FAILURE() << "no context menu";
            return shown;
        }
        shown = asperson::ShownMenu(*qobject_cast<QMenu *>(QApplication::activePopupWidget()));
        for (int up = 0; up < fromEnd; ++up)
            Press(Qt::Key_Up); // from the top, the last entry first
        Press(Qt::Key_Return);
        // A window manager gives the window its focus back; the offscreen platform has
        // none and leaves it with the closed menu.
        window->activateWindow();
        if (!QTest::qWaitFor(
                [this] { return QGuiApplication::focusWindow() == window->windowHandle(); }))
            ADD_FAILURE() << "the window did not get the focus back";
        return shown;
    }

    QString Path(const QString &name) const { return dir.filePath(name); }

    QTemporaryDir dir;
    ScriptedModal modal;
    QPointer<frmTest> window;
    FakeDevice *fake = nullptr;

private:
    QLocale m_oldLocale;
};

} // namespace

TEST_F(LogSave, TheLogsMenuEndsWithSaveLogAs)
{
    modal.AnswerSave(std::nullopt);
    const QStringList shown = SaveFromTheMenu();
    // The box's own commands stay; the log's follows them, set apart.
    ASSERT_GE(shown.size(), 4) << shown.join(u'|').toStdString();
    EXPECT_EQ(shown.mid(shown.size() - 3),
              (QStringList{"---", "Keep a Record of Each Unit", "Save Log As..."}));
    EXPECT_EQ(shown.filter(QRegularExpression(QStringLiteral("^Copy\\b"))).size(), 1)
        << shown.join(u'|').toStdString();
    ASSERT_EQ(modal.asked().size(), 1u);
    EXPECT_EQ(modal.asked()[0].kind, ScriptedModal::Kind::Save);
    EXPECT_EQ(modal.asked()[0].title, QStringLiteral("Save Log As"));
}

TEST_F(LogSave, WritesUtf8WithThePlatformsLineBreaks)
{
    // Control characters reach neither the log nor the file raw.
    RunWith(QStringLiteral("Gr\u00FC\u00DFe \u20AC") + QChar(0) +
            QStringLiteral("\x01\x7F\r\nsecond\nthird\rfourth"));
    // A note typed into the log, after its last line.
    Log()->setFocus();
    Press(Qt::ControlModifier | Qt::Key_End);
    Press(Qt::Key_Return);
    asperson::Type(QStringLiteral("checked"));

    modal.AnswerSave(Path(QStringLiteral("session.log")));
    SaveFromTheMenu();
    const QByteArray stamp = "12/7/2026 7:03:40 AM: ";
    QByteArray expected = "\n" + stamp + "Sending Command: \"Read ESN\"\n" + stamp +
                          "Gr\xC3\xBC\xC3\x9F"
                          "e \xE2\x82\xAC<Nul><0x01><0x7F>\nsecond\nthird\nfourth\n" +
                          stamp + "Received Response: A<Cr><Lf>B\nchecked";
#ifdef Q_OS_WIN
    expected.replace("\n", "\r\n");
#endif
    EXPECT_EQ(Bytes(Path(QStringLiteral("session.log"))), expected);
    EXPECT_EQ(modal.asked().size(), 1u); // no failure shown
}

TEST_F(LogSave, AnExistingFileIsReplacedOnlyWhenTheUserSaysYes)
{
    const QString path = Path(QStringLiteral("old.log"));
    {
        QFile old(path);
        ASSERT_TRUE(old.open(QIODevice::WriteOnly));
        old.write("old");
    }
    RunWith(QStringLiteral("new"));
    modal.AnswerSave(path);
    modal.AnswerMessage(MsgAnswer::No); // asked again, with that name
    modal.AnswerSave(path);
    modal.AnswerMessage(MsgAnswer::Cancel);
    SaveFromTheMenu();
    EXPECT_EQ(Bytes(path), QByteArray("old"));
    ASSERT_EQ(modal.asked().size(), 4u);
    EXPECT_EQ(modal.asked()[1].title, QStringLiteral("File Exists"));
    EXPECT_EQ(modal.asked()[1].style, MsgStyle::YesNoCancel + MsgStyle::DefaultButton2);
    EXPECT_EQ(modal.asked()[2].file.fileName, path);

    modal.AnswerSave(path);
    modal.AnswerMessage(MsgAnswer::Yes);
    SaveFromTheMenu();
    EXPECT_TRUE(Bytes(path).endsWith("Received Response: A<Cr><Lf>B"));
    EXPECT_EQ(modal.asked().size(), 6u);
}

// A failed save shows why in a box and leaves the folder as it was: an old file whole,
// no new or half-written file, no temporary.
TEST_F(LogSave, AFailedWriteShowsABoxAndLeavesNoHalfFile)
{
    struct Case
    {
        const char *what;
        const char *name; // the file chosen, in the scratch folder
        int messageLines; // the log's size, added to what is there
        rlim_t fileLimit; // largest file this process may write; 0: no limit
    };
    const Case cases[] = {
        {"a folder that is not there", "missing/session.log", 1, 0},
        {"a short log the disk takes only part of, failing at the flush", "old.log", 40, 1024},
        {"a long log failing in the middle of the write", "old.log", 4000, 16384},
    };
    // Past the limit a write fails with EFBIG, as on a full disk, where the signal
    // would otherwise end the process.
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit oldLimit{};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &oldLimit), 0);
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        QFile old(Path(QStringLiteral("old.log")));
        ASSERT_TRUE(old.open(QIODevice::WriteOnly));
        old.write("old");
        old.close();
        for (int line = 0; line < c.messageLines; ++line)
            emit fake->MessageReceived(QStringLiteral("line %1 of the device's answer").arg(line));

        const std::size_t asked = modal.asked().size();
        modal.AnswerSave(Path(QString::fromLatin1(c.name)));
        if (QFileInfo::exists(Path(QString::fromLatin1(c.name))))
            modal.AnswerMessage(MsgAnswer::Yes);
        modal.AnswerMessage(MsgAnswer::OK);
        if (c.fileLimit) {
            rlimit limit = oldLimit;
            limit.rlim_cur = c.fileLimit;
            ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &limit), 0);
        }
        SaveFromTheMenu();
        ::setrlimit(RLIMIT_FSIZE, &oldLimit);

        ASSERT_EQ(modal.pending(), 0u);
        const ScriptedModal::Asked &box = modal.asked().back();
        EXPECT_GT(modal.asked().size(), asked + 1);
        EXPECT_EQ(box.kind, ScriptedModal::Kind::Message);
        EXPECT_EQ(box.title, QStringLiteral("Save Log As"));
        EXPECT_EQ(box.style, MsgStyle::OKOnly + MsgStyle::Information);
        EXPECT_TRUE(box.text.startsWith(
            QStringLiteral("The log could not be saved to %1.\n")
                .arg(QDir::toNativeSeparators(Path(QString::fromLatin1(c.name))))))
            << box.text.toStdString();
        EXPECT_EQ(Bytes(Path(QStringLiteral("old.log"))), QByteArray("old"));
        EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden | QDir::System),
                  QStringList{QStringLiteral("old.log")});
    }
    std::signal(SIGXFSZ, oldHandler);
}

TEST_F(LogSave, ARecordOfEachUnitIsKeptOnceSwitchedOnFromTheLogsMenu)
{
    const QString records =
        QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation) + "/records";
    const auto kept = [&records] {
        QStringList found;
        for (QDirIterator it(records, QDir::Files, QDirIterator::Subdirectories); it.hasNext();)
            found << QDir(records).relativeFilePath(it.next());
        return found;
    };
    const auto store = [] {
        return QSettings(QSettings::NativeFormat, QSettings::UserScope,
                         QCoreApplication::organizationName(), QStringLiteral("Probator"));
    };
    store().remove(QStringLiteral("Settings/RecordEachUnit"));
    QDir(records).removeRecursively();
    RunWith(QStringLiteral("before"));
    EXPECT_TRUE(kept().isEmpty()) << "off by default";

    PickFromTheMenu(2);
    EXPECT_EQ(store().value(QStringLiteral("Settings/RecordEachUnit")).toString(), "1");
    fake->onExecute = [this](qint32) {
        emit fake->MessageReceived(QStringLiteral("after"));
        return CommandResult{true, {}, {1, QStringLiteral("ESN: 4A7F19C2")}};
    };
    window->findChild<QWidget *>(QStringLiteral("cmbCommand"))->setFocus();
    Press(Qt::Key_Return);
    ASSERT_EQ(fake->executed.size(), 2u);
    const QStringList first = kept();
    ASSERT_EQ(first.size(), 1);
    EXPECT_TRUE(first.front().startsWith(QStringLiteral("4A7F19C2/")))
        << first.front().toStdString();
    QFile record(records + "/" + first.front());
    ASSERT_TRUE(record.open(QIODevice::ReadOnly));
    const QByteArray text = record.readAll();
    EXPECT_TRUE(text.contains("after\n"));
    EXPECT_FALSE(text.contains("before"));

    // Another unit on the line: its record starts with the Read ESN that found it.
    fake->onExecute = [this](qint32) {
        emit fake->MessageReceived(QStringLiteral("second unit"));
        return CommandResult{true, {}, {1, QStringLiteral("ESN: 0000BEEF")}};
    };
    Press(Qt::Key_Return);
    const QStringList both = kept();
    ASSERT_EQ(both.size(), 2) << both.join(u' ').toStdString();
    const QString second = both.filter(QStringLiteral("0000BEEF/")).value(0);
    QFile other(records + "/" + second);
    ASSERT_TRUE(other.open(QIODevice::ReadOnly)) << second.toStdString();
    const QByteArray otherText = other.readAll();
    EXPECT_TRUE(otherText.contains("Sending Command: \"Read ESN\"\n"));
    EXPECT_TRUE(otherText.contains("second unit\n"));
    EXPECT_FALSE(otherText.contains("after"));

    // Kept in the settings: a new window records from the start, until switched off.
    delete window.data();
    fake = new FakeDevice;
    window = new frmTest(modal, fake);
    ASSERT_TRUE(asperson::Activate(*window));
    PickFromTheMenu(2);
    EXPECT_EQ(store().value(QStringLiteral("Settings/RecordEachUnit")).toString(), "0");
    window->findChild<QWidget *>(QStringLiteral("cmbCommand"))->setFocus();
    RunWith(QStringLiteral("off again"));
    EXPECT_EQ(kept(), both);
}
