#include "frmAbout.h"

#include "AsPerson.h"
#include "GetKeyValue.h"
#include "ScreenUnits.h"
#include "ScriptedModal.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <stdexcept>

namespace {

const QString Unavailable = QStringLiteral("System Information Is Unavailable At This Time");

// An About dialog over a store file of the test's own, whose starter only records.
class AboutTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        m_storePath = m_dir.filePath(QStringLiteral("machine-registry.conf"));
        registry::SetStoreFilePath(m_storePath.toStdString());
        m_dialog.SetProgramStarter([this](const QString &path) {
            m_started << path;
            if (m_startThrows)
                throw std::runtime_error("no process");
            return m_startSucceeds;
        });
    }

    void TearDown() override { registry::SetStoreFilePath({}); }

    void WriteStore(const QByteArray &text)
    {
        QFile file(m_storePath);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(text);
    }

    // The store's line for the first entry, PATH = path.
    static QByteArray FirstEntry(const QByteArray &path)
    {
        return "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Shared Tools\\MSINFO]\n"
               "\"PATH\"=\"" +
               path + "\"\n";
    }

    static QByteArray SecondEntry(const QString &folder)
    {
        return "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Shared Tools Location]\n"
               "\"MSINFO\"=\"" +
               folder.toLocal8Bit() + "\"\n";
    }

    void ExpectUnavailableOnce()
    {
        ASSERT_EQ(m_modal.asked().size(), 1u);
        const ScriptedModal::Asked &asked = m_modal.asked().front();
        EXPECT_EQ(asked.kind, ScriptedModal::Kind::Message);
        EXPECT_EQ(asked.text, Unavailable);
        EXPECT_EQ(asked.title, QString()); // the program's title
        EXPECT_EQ(asked.style, MsgStyle::OKOnly);
    }

    QTemporaryDir m_dir;
    QString m_storePath;
    ScriptedModal m_modal;
    frmAbout m_dialog{m_modal};
    QStringList m_started;
    bool m_startSucceeds = true;
    bool m_startThrows = false;
};

QRect Twips(double left, double top, double width, double height)
{
    return screenunits::TwipsToPixels(left, top, width, height);
}

} // namespace

TEST_F(AboutTest, ShowsItsElementsWhereTheyBelong)
{
    EXPECT_EQ(m_dialog.windowTitle(), "About Quillon");
    EXPECT_EQ(m_dialog.minimumSize(), m_dialog.maximumSize()); // fixed border
    EXPECT_EQ(m_dialog.size(),
              QSize(screenunits::TwipsToPixelsX(5865), screenunits::TwipsToPixelsY(3525)));
    EXPECT_FALSE(m_dialog.windowFlags() & Qt::WindowMinimizeButtonHint);
    EXPECT_FALSE(m_dialog.windowFlags() & Qt::WindowMaximizeButtonHint);

    struct Expected
    {
        const char *name;
        QString text;
        QRect where;
    };
    const Expected elements[] = {
        {"lblTitle", "Quillon", Twips(1050, 240, 4092, 480)},
        {"lblVersion", "Version 1.0.0", Twips(1050, 780, 4092, 225)},
        {"lblDescription", "App Description", Twips(1050, 1125, 4092, 1170)},
        {"lblDisclaimer", "Warning: ...", Twips(255, 2625, 3870, 825)},
    };
    for (const Expected &element : elements) {
        auto *label = m_dialog.findChild<QLabel *>(element.name);
        ASSERT_NE(label, nullptr) << element.name;
        EXPECT_EQ(label->text(), element.text) << element.name;
        EXPECT_EQ(label->geometry(), element.where) << element.name;
    }
    auto *cmdOK = m_dialog.findChild<QPushButton *>("cmdOK");
    auto *cmdSysInfo = m_dialog.findChild<QPushButton *>("cmdSysInfo");
    ASSERT_TRUE(cmdOK && cmdSysInfo);
    EXPECT_EQ(cmdOK->text(), "OK");
    EXPECT_EQ(cmdOK->geometry(), Twips(4245, 2625, 1467, 345));
    EXPECT_TRUE(cmdOK->isDefault());
    EXPECT_EQ(cmdSysInfo->text(), "&System Info...");
    EXPECT_EQ(cmdSysInfo->geometry(), Twips(4260, 3075, 1452, 345));

    // The etched rule: a grey line over a white one a twip row lower, two pixels thick.
    const QList<QWidget *> lines = m_dialog.findChildren<QWidget *>("Line1");
    ASSERT_EQ(lines.size(), 2);
    for (QWidget *line : lines) {
        const bool upper = line->property("index").toInt() == 1;
        const int left = screenunits::TwipsToPixelsX(upper ? 225 : 240);
        EXPECT_EQ(line->geometry(), QRect(left, screenunits::TwipsToPixelsY(upper ? 2430 : 2445),
                                          screenunits::TwipsToPixelsX(5657) - left, upper ? 1 : 2));
        EXPECT_EQ(line->palette().color(QPalette::Window),
                  upper ? QColor(128, 128, 128) : QColor(Qt::white));
    }
}

TEST_F(AboutTest, TheIconIsA32By32PictureOfAtMostSixteenColours)
{
    auto *picIcon = m_dialog.findChild<QLabel *>("picIcon");
    ASSERT_NE(picIcon, nullptr);
    EXPECT_EQ(picIcon->geometry(), Twips(240, 240, 540, 540));
    const QImage image = picIcon->pixmap().toImage();
    ASSERT_EQ(image.size(), QSize(32, 32));
    QSet<QRgb> colours;
    for (int y = 0; y < 32; ++y) {
        for (int x = 0; x < 32; ++x) {
            if (qAlpha(image.pixel(x, y)) != 0)
                colours.insert(image.pixel(x, y));
        }
    }
    EXPECT_GE(colours.size(), 2);
    EXPECT_LE(colours.size(), 16);
}

TEST_F(AboutTest, OkTakesEnterAndEscapeAndComesFirstInTheTabOrder)
{
    ASSERT_TRUE(asperson::Activate(m_dialog));
    auto *cmdOK = m_dialog.findChild<QPushButton *>("cmdOK");
    auto *cmdSysInfo = m_dialog.findChild<QPushButton *>("cmdSysInfo");
    EXPECT_EQ(QApplication::focusWidget(), cmdOK);
    QTest::keyClick(m_dialog.windowHandle(), Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), cmdSysInfo);
    QTest::keyClick(m_dialog.windowHandle(), Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), cmdOK);

    QSignalSpy clicked(cmdOK, &QPushButton::clicked);
    QTest::keyClick(m_dialog.windowHandle(), Qt::Key_Escape);
    EXPECT_EQ(clicked.count(), 1);
    EXPECT_FALSE(m_dialog.isVisible());
    EXPECT_EQ(m_dialog.result(), QDialog::Accepted);

    m_dialog.setResult(QDialog::Rejected);
    ASSERT_TRUE(asperson::Activate(m_dialog));
    QTest::keyClick(m_dialog.windowHandle(), Qt::Key_Return);
    EXPECT_EQ(clicked.count(), 2);
    EXPECT_FALSE(m_dialog.isVisible());
    EXPECT_EQ(m_dialog.result(), QDialog::Accepted);
    EXPECT_TRUE(m_modal.asked().empty()); // and nothing was started or asked
    EXPECT_TRUE(m_started.isEmpty());
}

TEST_F(AboutTest, TheFirstEntryIsStartedAsItIsEvenWhenTheFileIsGone)
{
    WriteStore(FirstEntry("C:\\\\Program Files\\\\Gone\\\\msinfo32.exe") +
               SecondEntry(m_dir.path()));
    QFile(m_dir.filePath("MSINFO32.EXE")).open(QIODevice::WriteOnly);
    m_dialog.show();
    m_dialog.findChild<QPushButton *>("cmdSysInfo")->click();
    EXPECT_EQ(m_started, QStringList{"C:\\Program Files\\Gone\\msinfo32.exe"});
    EXPECT_TRUE(m_modal.asked().empty());
    EXPECT_TRUE(m_dialog.isVisible());
}

TEST_F(AboutTest, AFailingStartOfTheFirstEntryShowsTheMessageOnce)
{
    WriteStore(FirstEntry("/nowhere/msinfo32") + SecondEntry(m_dir.path()));
    QFile(m_dir.filePath("MSINFO32.EXE")).open(QIODevice::WriteOnly);
    m_startSucceeds = false;
    m_modal.AnswerMessage(MsgAnswer::OK);
    m_dialog.show();
    m_dialog.StartSysInfo();
    // No second try with the other entry: one start, one message.
    EXPECT_EQ(m_started, QStringList{"/nowhere/msinfo32"});
    ExpectUnavailableOnce();
    EXPECT_TRUE(m_dialog.isVisible());
}

TEST_F(AboutTest, AnErrorWhileStartingShowsTheMessageOnce)
{
    WriteStore(FirstEntry("/bin/true"));
    m_startThrows = true;
    m_modal.AnswerMessage(MsgAnswer::OK);
    m_dialog.findChild<QPushButton *>("cmdSysInfo")->click();
    EXPECT_EQ(m_started.size(), 1);
    ExpectUnavailableOnce();
}

TEST_F(AboutTest, TheSecondEntryNamesTheFolderThatHoldsTheProgram)
{
    const QString folder = m_dir.filePath(QStringLiteral("Shared Tools"));
    ASSERT_TRUE(QDir().mkpath(folder));
    ASSERT_TRUE(QFile(folder + "/MSINFO32.EXE").open(QIODevice::WriteOnly));
    WriteStore(SecondEntry(folder));
    m_dialog.StartSysInfo();
    EXPECT_EQ(m_started, QStringList{folder + "/MSINFO32.EXE"});
    EXPECT_TRUE(m_modal.asked().empty());
}

TEST_F(AboutTest, TheSecondEntryWithoutTheProgramShowsTheMessage)
{
    const QString folder = m_dir.filePath(QStringLiteral("tools"));
    ASSERT_TRUE(QDir().mkpath(folder));
    // Neither a file named with the backslash beside the folder, nor a folder of the
    // program's name inside it, nor another case of its name counts as the program.
    ASSERT_TRUE(QFile(folder + "\\MSINFO32.EXE").open(QIODevice::WriteOnly));
    ASSERT_TRUE(QDir().mkpath(folder + "/MSINFO32.EXE"));
    ASSERT_TRUE(QFile(folder + "/msinfo32.exe").open(QIODevice::WriteOnly));
    WriteStore(SecondEntry(folder));
    m_modal.AnswerMessage(MsgAnswer::OK);
    m_dialog.StartSysInfo();
    EXPECT_TRUE(m_started.isEmpty());
    ExpectUnavailableOnce();
}

TEST_F(AboutTest, NeitherEntryShowsTheMessage)
{
    WriteStore("[HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Shared Tools\\MSINFO]\n"
               "\"NotPath\"=\"/bin/true\"\n");
    m_modal.AnswerMessage(MsgAnswer::OK);
    m_dialog.StartSysInfo();
    EXPECT_TRUE(m_started.isEmpty());
    ExpectUnavailableOnce();
}

TEST_F(AboutTest, TheRegistryValueIsCutAtAZeroAndAnOverlongOneIsNotThere)
{
    WriteStore(FirstEntry("/opt/sysinfo/run\\0 --junk"));
    m_dialog.StartSysInfo();
    EXPECT_EQ(m_started, QStringList{"/opt/sysinfo/run"});

    // An over-long first entry counts as missing, so the second one is used.
    m_started.clear();
    ASSERT_TRUE(QFile(m_dir.filePath("MSINFO32.EXE")).open(QIODevice::WriteOnly));
    WriteStore(FirstEntry(QByteArray(1024, 'p')) + SecondEntry(m_dir.path()));
    m_dialog.StartSysInfo();
    EXPECT_EQ(m_started, QStringList{m_dir.path() + "/MSINFO32.EXE"});
    EXPECT_TRUE(m_modal.asked().empty());
}

TEST_F(AboutTest, TheRealStarterStartsAProgramOrReportsThatItCannot)
{
    frmAbout dialog(m_modal);
    WriteStore(FirstEntry("/bin/true"));
    dialog.StartSysInfo();
    EXPECT_TRUE(m_modal.asked().empty());

    WriteStore(FirstEntry(m_dir.filePath("no-such-program").toLocal8Bit()));
    m_modal.AnswerMessage(MsgAnswer::OK);
    dialog.StartSysInfo();
    ExpectUnavailableOnce();
}
