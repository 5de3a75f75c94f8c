// The editor in a pseudo-language: every text its frame, menus, dialogs and status bar show
// a person comes from its catalogue.

#include "PseudoLocale.h"
#include "FrameFixture.h"
#include "frmDocument.h"

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QMenu>

#include <optional>

namespace {

class PseudoFrameTest : public FrameTest
{
protected:
    void SetUp() override
    {
        speaking.emplace(QStringLiteral("quillon"));
        FrameTest::SetUp();
    }
    void TearDown() override
    {
        FrameTest::TearDown();
        speaking.reset();
    }

    // The clock panels show the locale's date and time: Qt's words, not ours.
    static bool Clock(const QObject &owner, const QString &)
    {
        return owner.objectName().startsWith(QLatin1String("sbStatusBarDate")) ||
               owner.objectName().startsWith(QLatin1String("sbStatusBarTime"));
    }

    // Every window and dialog open now.
    static QStringList PlainTextsShown()
    {
        QStringList plain;
        for (QWidget *widget : QApplication::allWidgets()) {
            if (widget->isWindow() && !widget->parentWidget())
                plain << pseudolocale::PlainTexts(*widget, Clock);
        }
        plain.removeDuplicates();
        return plain;
    }

    std::optional<pseudolocale::Speaking> speaking;
};

} // namespace

TEST_F(PseudoFrameTest, NoTextOfTheFrameItsDialogsOrStatusBarStaysPlainEnglish)
{
    frmMain &editor = Frame();
    editor.show();
    // Enough documents for the Window menu's More Windows.
    for (int i = 0; i < 10; ++i)
        Item(QStringLiteral("mnuFileNew"))->trigger();
    Item(QStringLiteral("mnuEditFind"))->trigger();
    Item(QStringLiteral("mnuHelpContents"))->trigger();
    QMenu *windows = editor.findChild<QMenu *>(QStringLiteral("mnuWindow"));
    ASSERT_NE(windows, nullptr);
    emit windows->aboutToShow();

    // The questions and messages, and the windows as they are while each is asked.
    QStringList plain;
    const auto walk = [&plain] { plain << PlainTextsShown(); };
    modal.AnswerInput(QStringLiteral("nowhere"));
    modal.OnNextDialog(walk);
    modal.AnswerMessage(MsgAnswer::OK);
    Item(QStringLiteral("mnuEditGoTo"))->trigger();
    modal.OnNextDialog(walk);
    modal.AnswerDialog(QDialog::Rejected);
    Item(QStringLiteral("mnuFileProperties"))->trigger();
    modal.OnNextDialog(walk);
    modal.AnswerDialog(QDialog::Rejected);
    editor.findChild<QAction *>(QStringLiteral("mnuWindowMore"))->trigger();
    modal.AnswerOpen(std::nullopt);
    Item(QStringLiteral("mnuFileOpen"))->trigger();
    modal.AnswerMessage(MsgAnswer::OK);
    Item(QStringLiteral("mnuHelpAbout"))->trigger();
    // Characters a config file cannot keep: the status bar counts them, a save asks first.
    editor.ActiveDocument()->txtScript()->setPlainText(QStringLiteral("caf\u00E9 \u201Cx\u201D"));
    plain << PlainTextsShown();
    modal.AnswerSave(scratch.filePath(QStringLiteral("lossy.cfg")));
    modal.AnswerQuestion(2);
    Item(QStringLiteral("mnuFileSave"))->trigger();
    editor.ActiveDocument()->txtScript()->setPlainText(QStringLiteral("x"));
    modal.AnswerMessage(MsgAnswer::Cancel);
    editor.ActiveDocument()->close();
    EXPECT_EQ(modal.pending(), 0u);

    plain << PlainTextsShown();
    plain.removeDuplicates();
    EXPECT_TRUE(plain.isEmpty()) << plain.join(QLatin1Char('\n')).toStdString();
    for (const ScriptedModal::Asked &asked : modal.asked()) {
        SCOPED_TRACE(asked.title.toStdString() + " | " + asked.text.toStdString());
        EXPECT_FALSE(pseudolocale::IsPlain(asked.title));
        EXPECT_FALSE(pseudolocale::IsPlain(asked.text));
        EXPECT_FALSE(pseudolocale::IsPlain(asked.file.title));
        EXPECT_FALSE(pseudolocale::IsPlain(asked.file.filter));
        for (const QString &text : asked.buttons + asked.labels)
            EXPECT_FALSE(pseudolocale::IsPlain(text)) << text.toStdString();
    }
    EXPECT_GE(modal.asked().size(), 9u);
}
