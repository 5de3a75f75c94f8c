// The frame's side of characters a save would lose: pasting them, the status bar panel
// that counts them, and the keys and clicks that go to them.

#include "AccessibleTree.h"
#include "AsPerson.h"
#include "Encryption.h"
#include "FrameFixture.h"
#include "LossMarks.h"
#include "StatusPanel.h"
#include "frmDocument.h"
#include "frmHelp.h"
#include "frmProperties.h"

#include <QAccessibleInterface>
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QGuiApplication>
#include <QLabel>
#include <QMdiArea>
#include <QMenu>
#include <QPlainTextEdit>
#include <QStatusBar>
#include <QTest>
#include <QTextCursor>

namespace {

// The panel as shown once the frame has drawn the last edit and has nothing left to do.
QLabel *Panel(frmMain &frame)
{
    QApplication::processEvents(QEventLoop::AllEvents, 1000);
    return frame.findChild<QLabel *>(QStringLiteral("sbStatusBarLoss"));
}

// Counts the times `widget` is asked to lay itself out again.
class LayoutRequests : public QObject
{
public:
    explicit LayoutRequests(QWidget &widget) { widget.installEventFilter(this); }
    int count = 0;

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        count += event->type() == QEvent::LayoutRequest;
        return false;
    }
};

int Caret(frmDocument &document)
{
    return document.txtScript()->textCursor().position();
}

// Whether `entry` is a whole line of `menu`.
testing::AssertionResult Shows(const std::string &menu, const QString &entry)
{
    if (QString::fromStdString(menu).split(u'\n').contains(entry))
        return testing::AssertionSuccess();
    return testing::AssertionFailure() << "no \"" << entry.toStdString() << "\" in\n" << menu;
}

} // namespace

class LossPanelTest : public FrameTest
{
protected:
    frmDocument &Open(const QString &name)
    {
        Frame().show();
        Frame().activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&Frame()));
        Frame().LoadFile(scratch.filePath(name));
        frmDocument *document = Frame().ActiveDocument();
        EXPECT_NE(document, nullptr);
        return *document;
    }
};

TEST_F(LossPanelTest, PastedQuotesAndAccentsAreMarkedCountedAndAskedAboutOnSave)
{
    frmDocument &document = Open("pasted.cfg");
    QLabel *panel = Panel(Frame());
    ASSERT_NE(panel, nullptr);
    EXPECT_TRUE(panel->isHidden()) << "nothing to say";

    QGuiApplication::clipboard()->setText(QStringLiteral("name=\u201Ccaf\u00E9\u201D"));
    document.txtScript()->setFocus();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_V, Qt::ControlModifier);
    ASSERT_EQ(document.Text(), QStringLiteral("name=\u201Ccaf\u00E9\u201D"));
    EXPECT_EQ(document.Marks()->Positions(), (std::vector<int>{5, 9, 10}));
    EXPECT_EQ(asperson::RedCharacters(*document.txtScript()), (std::vector<int>{5, 9, 10}));
    EXPECT_EQ(Panel(Frame())->text(), QStringLiteral("3 characters will not survive saving"));
    EXPECT_FALSE(panel->isHidden());

    // The same through the menu's Paste, over a selection.
    QGuiApplication::clipboard()->setText(QStringLiteral("\u201C"));
    QTextCursor cursor = document.txtScript()->textCursor();
    cursor.setPosition(0);
    cursor.setPosition(4, QTextCursor::KeepAnchor);
    document.txtScript()->setTextCursor(cursor);
    Item(QStringLiteral("mnuEditPaste"))->trigger();
    EXPECT_EQ(document.Text(), QStringLiteral("\u201C=\u201Ccaf\u00E9\u201D"));
    EXPECT_EQ(Panel(Frame())->text(), QStringLiteral("4 characters will not survive saving"));

    modal.AnswerQuestion(0);
    Item(QStringLiteral("mnuFileSave"))->trigger();
    ASSERT_EQ(modal.asked().size(), 1u);
    EXPECT_EQ(modal.asked()[0].title, QStringLiteral("Characters Will Be Lost"));
    EXPECT_EQ(document.Text(), QStringLiteral("\"=\"cafe\""));
    EXPECT_TRUE(Panel(Frame())->isHidden());
    Frame().LoadFile(document.FileName);
    EXPECT_EQ(Frame().ActiveDocument()->Text(), QStringLiteral("\"=\"cafe\""));
}

TEST_F(LossPanelTest, F8AndAClickOnThePanelGoToTheNextMarkedCharacter)
{
    frmDocument &document = Open("keys.cfg");
    document.SetText(QStringLiteral("a\u00E9b\r\nc\u201Cd"));
    QTextCursor cursor = document.txtScript()->textCursor();
    cursor.setPosition(0);
    document.txtScript()->setTextCursor(cursor);
    document.txtScript()->setFocus();

    QTest::keyClick(QApplication::focusWidget(), Qt::Key_F8);
    EXPECT_EQ(Caret(document), 1);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_F8);
    EXPECT_EQ(Caret(document), 5);
    QTest::mouseClick(Panel(Frame()), Qt::LeftButton);
    EXPECT_EQ(Caret(document), 1) << "from the last one back to the first";
    EXPECT_EQ(QApplication::focusWidget(), document.txtScript());
}

TEST_F(LossPanelTest, ThePanelFollowsTheActiveDocumentAndTheLengthLimit)
{
    frmDocument &first = Open("first.cfg");
    first.SetText(QStringLiteral("\u00E9"));
    EXPECT_EQ(Panel(Frame())->text(), QStringLiteral("1 character will not survive saving"));
    frmDocument &second = Open("second.cfg");
    EXPECT_TRUE(Panel(Frame())->isHidden());
    second.SetText(QString(33010, QLatin1Char('a')));
    EXPECT_EQ(Panel(Frame())->text(),
              QStringLiteral("33,010 characters, 244 over the limit of 32,766"));
    // It comes and goes as a key takes the text across the limit and back, each time whole
    // in the bar, without laying out the frame again. The clocks are hidden meanwhile: each
    // tick does lay it out.
    QStatusBar *bar = Frame().statusBar();
    QWidget *clocks[] = {Frame().findChild<QWidget *>(QStringLiteral("sbStatusBarDate")),
                         Frame().findChild<QWidget *>(QStringLiteral("sbStatusBarTime"))};
    for (QWidget *clock : clocks)
        clock->hide();
    Frame().resize(1000, Frame().height());
    second.SetText(QString(32766, QLatin1Char('a')));
    second.txtScript()->setFocus();
    Settle();
    Panel(Frame());
    // A message that just fits beside the hidden panel, and so not beside the shown one.
    auto *status = Frame().findChild<StatusPanel *>(QStringLiteral("sbStatusBarStatus"));
    ASSERT_NE(status, nullptr);
    QString message = QStringLiteral("m");
    while (status->fontMetrics().horizontalAdvance(message + QLatin1Char('m')) <=
           status->contentsRect().width())
        message += QLatin1Char('m');
    status->SetMessage(message);
    const LayoutRequests frameLayouts(Frame());
    for (const bool past : {true, false, true, false}) {
        ASSERT_TRUE(asperson::Press(past ? Qt::Key_X : Qt::Key_Backspace));
        QLabel *panel = Panel(Frame());
        EXPECT_EQ(panel->isHidden(), !past);
        EXPECT_EQ(status->text() == message, !past) << status->text().toStdString();
        EXPECT_LE(status->fontMetrics().horizontalAdvance(status->text()),
                  status->contentsRect().width());
        if (past) {
            EXPECT_EQ(panel->text(),
                      QStringLiteral("32,767 characters, 1 over the limit of 32,766"));
            EXPECT_GE(panel->width(), panel->sizeHint().width());
            EXPECT_TRUE(bar->rect().contains(QRect(panel->mapTo(bar, QPoint()), panel->size())));
        }
    }
    EXPECT_EQ(frameLayouts.count, 0);
    for (QWidget *clock : clocks)
        clock->show();
    Frame().mdiArea()->setActiveSubWindow(&first);
    EXPECT_EQ(Panel(Frame())->text(), QStringLiteral("1 character will not survive saving"));

    first.setChanged(false);
    second.setChanged(false);
    Frame().mdiArea()->closeAllSubWindows();
    Settle();
    EXPECT_TRUE(Panel(Frame())->isHidden());
}

TEST_F(LossPanelTest, EditMenuOffersF8OnlyWhileSomethingIsMarked)
{
    QMenu *edit = asperson::MenuBarMenu(Frame(), QStringLiteral("Edit"));
    ASSERT_NE(edit, nullptr);
    // The search group as drawn, one entry a line: "Find...\tCtrl+F\nFind Next\tF3\n...".
    auto searchGroup = [&] {
        const QStringList shown = asperson::ShownMenuWithKeys(*edit);
        const qsizetype find = shown.indexOf(QStringLiteral("Find...\tCtrl+F"));
        return (find < 0 ? shown : shown.mid(find, 7)).join(u'\n').toStdString();
    };
    const QString item = QStringLiteral("Next Character That Will Not Survive\tF8");
    const QString greyed = item + QStringLiteral(" (greyed)");
    EXPECT_EQ(searchGroup(),
              QStringList({"Find...\tCtrl+F", "Find Next\tF3", "Find Previous\tShift+F3",
                           "Replace...\tCtrl+H", "Go To...\tCtrl+G", greyed, "---"})
                  .join(u'\n')
                  .toStdString());

    frmDocument &first = Open("first.cfg");
    EXPECT_TRUE(Shows(searchGroup(), greyed)) << "plain text: nothing to go to";
    first.txtScript()->setFocus();
    ASSERT_TRUE(asperson::Type(QStringLiteral("x=caf\u00E9")));
    EXPECT_TRUE(Shows(searchGroup(), item));

    QTextCursor cursor = first.txtScript()->textCursor();
    cursor.setPosition(0);
    first.txtScript()->setTextCursor(cursor);
    ASSERT_TRUE(asperson::Press(Qt::Key_F8));
    EXPECT_EQ(Caret(first), 5);

    // It follows the active document, and a replacing save leaves nothing to go to.
    frmDocument &second = Open("second.cfg");
    EXPECT_TRUE(Shows(searchGroup(), greyed));
    Frame().mdiArea()->setActiveSubWindow(&first);
    EXPECT_TRUE(Shows(searchGroup(), item));
    modal.AnswerQuestion(0);
    Item(QStringLiteral("mnuFileSave"))->trigger();
    EXPECT_EQ(first.Text(), QStringLiteral("x=cafe"));
    EXPECT_TRUE(Shows(searchGroup(), greyed));
    // Greyed, the key does nothing either.
    cursor.setPosition(1);
    first.txtScript()->setTextCursor(cursor);
    ASSERT_TRUE(asperson::Press(Qt::Key_F8));
    EXPECT_EQ(Caret(first), 1);
    second.setChanged(false);
}

// What a screen reader says for the frame's controls, the Properties dialog and the help
// window, through Qt's accessibility interface; no control one acts on goes without a name.
TEST_F(LossPanelTest, EveryControlReadsWithANameAndRole)
{
    frmDocument &document = Open("named.cfg");
    document.SetText(QStringLiteral("a\u00E9b"));
    QTest::keyClick(&Frame(), Qt::Key_F, Qt::ControlModifier);
    QTest::keyClick(&Frame(), Qt::Key_F1);
    auto *help = Frame().findChild<frmHelp *>(QStringLiteral("frmHelp"));
    ASSERT_NE(help, nullptr);
    frmProperties properties(document.FileName, document.Text(), &Frame());
    properties.show();
    for (QWidget *window : std::initializer_list<QWidget *>{&Frame(), help, &properties})
        EXPECT_EQ(accessible::Unnamed(*window).toStdString(), "");

    const struct
    {
        QWidget *window;
        const char *control;
        QAccessible::Role role;
        QString name;
        QString description; // a part of it
    } rows[] = {
        {&Frame(), "txtScript", QAccessible::EditableText, "named.cfg",
         "1 character will not survive saving; F8 goes to it."},
        {&Frame(), "sbStatusBarStatus", QAccessible::StaticText, "Status", ""},
        {&Frame(), "sbStatusBarCaret", QAccessible::StaticText, "Caret: Line 1, Col 1", ""},
        {help, "frmHelp", QAccessible::Window, "Quillon Help", ""},
        {help, "txtGuide", QAccessible::StaticText, "User's guide", "How to use Quillon"},
        {&properties, "lblPath", QAccessible::StaticText, "File", document.FileName},
        {&properties, "lblLost", QAccessible::StaticText, "Lost on saving",
         "line 1, column 2: \u00E9 U+00E9"},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.control);
        QWidget *control = row.window->objectName() == QLatin1String(row.control)
                               ? row.window
                               : row.window->findChild<QWidget *>(QLatin1String(row.control));
        ASSERT_NE(control, nullptr);
        const accessible::Node node = accessible::Read(*control);
        EXPECT_EQ(node.role, row.role);
        EXPECT_EQ(node.name.toStdString(), row.name.toStdString());
        EXPECT_TRUE(node.description.contains(row.description)) << qPrintable(node.description);
    }

    // The guide's own text reaches the reader, not only its name.
    QAccessibleInterface *guide = QAccessible::queryAccessibleInterface(
        help->findChild<QWidget *>(QStringLiteral("txtGuide")));
    ASSERT_NE(guide->textInterface(), nullptr);
    QAccessibleTextInterface *text = guide->textInterface();
    EXPECT_TRUE(text->text(0, text->characterCount()).contains(QStringLiteral("enciphered")));

    // The box follows its document's name; the status panel has a name while empty.
    Item(QStringLiteral("mnuFileNew"))->trigger();
    frmDocument *added = Frame().ActiveDocument();
    EXPECT_EQ(accessible::Read(*added->txtScript()).name, added->windowTitle());
    added->close();
    EXPECT_EQ(accessible::Read(*Frame().findChild<QWidget *>("sbStatusBarStatus")).name,
              QStringLiteral("Status"));
}
