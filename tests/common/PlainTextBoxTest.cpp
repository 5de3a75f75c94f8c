// The text box both programs use: pasting by every route survives a clipboard without
// data, and only plain text goes in or out.

#include "PlainTextBox.h"
#include "AsPerson.h"
#include "OwnerlessClipboard.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDropEvent>
#include <QMenu>
#include <QMimeData>
#include <QTest>
#include <QTextCursor>
#include <QVBoxLayout>

#include <gtest/gtest.h>

#include <functional>
#include <memory>

namespace {

class PlainTextBoxTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        window.setObjectName(QStringLiteral("window"));
        auto *layout = new QVBoxLayout(&window);
        box = new PlainTextBox(&window);
        layout->addWidget(box);
        window.resize(300, 200);
        ASSERT_TRUE(asperson::Activate(window));
        box->setFocus();
        box->setPlainText(QStringLiteral("kept text"));
        box->selectAll();
    }

    static QClipboard &Clipboard() { return *QGuiApplication::clipboard(); }

    QWidget window;
    PlainTextBox *box = nullptr;
};

// Each way a person can paste into the box.
struct Route
{
    const char *name;
    std::function<void(PlainTextBox &)> paste;
};

const Route Routes[] = {
    {"Ctrl+V", [](PlainTextBox &) { asperson::Press(Qt::ControlModifier | Qt::Key_V); }},
    {"Shift+Insert", [](PlainTextBox &) { asperson::Press(Qt::ShiftModifier | Qt::Key_Insert); }},
    {"middle button",
     [](PlainTextBox &box) { QTest::mouseClick(box.viewport(), Qt::MiddleButton); }},
    {"context menu",
     [](PlainTextBox &box) {
         std::unique_ptr<QMenu> menu(box.createStandardContextMenu());
         for (QAction *item : menu->actions()) {
             if (item->objectName() == QLatin1String("edit-paste"))
                 item->trigger();
         }
     }},
    {"drop",
     [](PlainTextBox &box) {
         const QMimeData *data = QGuiApplication::clipboard()->mimeData();
         const QPoint at = box.viewport()->rect().center();
         QDragEnterEvent enter(at, Qt::CopyAction, data, Qt::LeftButton, Qt::NoModifier);
         QApplication::sendEvent(box.viewport(), &enter);
         QDropEvent drop(at, Qt::CopyAction, data, Qt::LeftButton, Qt::NoModifier);
         QApplication::sendEvent(box.viewport(), &drop);
     }},
};

} // namespace

TEST_F(PlainTextBoxTest, PasteOfNoDataByAnyRouteKeepsTheTextAndTheProgram)
{
    for (const Route &route : Routes) {
        SCOPED_TRACE(route.name);
        // Data with no format at all, on the clipboard and the selection.
        Clipboard().setMimeData(new QMimeData, QClipboard::Clipboard);
        if (Clipboard().supportsSelection())
            Clipboard().setMimeData(new QMimeData, QClipboard::Selection);
        route.paste(*box);
        EXPECT_EQ(box->toPlainText(), QStringLiteral("kept text"));
    }
}

TEST_F(PlainTextBoxTest, PasteFromAClipboardWhoseOwnerHasGoneKeepsTheProgram)
{
    // Text selected in the box is itself the selection a middle click pastes.
    box->moveCursor(QTextCursor::End);
    if (!ownerless::LeaveClipboardOwnerless())
        GTEST_SKIP() << "needs a clipboard shared with other programs (an X server)";
    ASSERT_FALSE(Clipboard().mimeData()->hasText());
    for (const Route &route : Routes) {
        SCOPED_TRACE(route.name);
        route.paste(*box);
        EXPECT_EQ(box->toPlainText(), QStringLiteral("kept text"));
    }
}

TEST_F(PlainTextBoxTest, PasteTakesEveryCharacterLiterally)
{
    // Markdown or HTML beside the plain text must not be read as formatting.
    auto *markup = new QMimeData;
    markup->setData(QStringLiteral("text/markdown"), "**a** <b>b</b>");
    markup->setHtml(QStringLiteral("<i>other</i>"));
    markup->setText(QStringLiteral("**a** <b>b</b>"));
    Clipboard().setMimeData(markup);
    ASSERT_EQ(Clipboard().mimeData()->formats().value(0), QStringLiteral("text/markdown"));
    asperson::Press(Qt::ControlModifier | Qt::Key_V);
    EXPECT_EQ(box->toPlainText(), QStringLiteral("**a** <b>b</b>"));
}

TEST_F(PlainTextBoxTest, CopyAndCutGiveThePlainTextOnly)
{
    box->setPlainText(QStringLiteral("one\ntwo"));
    for (const QKeyCombination key :
         {Qt::ControlModifier | Qt::Key_C, Qt::ControlModifier | Qt::Key_Insert,
          Qt::ControlModifier | Qt::Key_X}) {
        SCOPED_TRACE(QKeySequence(key).toString().toStdString());
        Clipboard().clear();
        box->selectAll();
        asperson::Press(key);
        const QMimeData *data = Clipboard().mimeData();
        ASSERT_NE(data, nullptr);
        EXPECT_EQ(data->formats(), QStringList{QStringLiteral("text/plain")});
        EXPECT_EQ(data->text(), QStringLiteral("one\ntwo"));
    }
    EXPECT_EQ(box->toPlainText(), QString());
}

TEST_F(PlainTextBoxTest, EditKeysRunTheWindowsCommandsWhereItHasThem)
{
    int copies = 0;
    int pastes = 0;
    QAction copy(&window);
    copy.setShortcut(QKeySequence(QStringLiteral("Ctrl+C")));
    QObject::connect(&copy, &QAction::triggered, &window, [&copies] { ++copies; });
    QAction paste(&window);
    paste.setShortcut(QKeySequence(QStringLiteral("Ctrl+V")));
    QObject::connect(&paste, &QAction::triggered, &window, [&pastes] { ++pastes; });
    window.addAction(&copy);
    window.addAction(&paste);

    Clipboard().setText(QStringLiteral("before"));
    asperson::Press(Qt::ControlModifier | Qt::Key_C);
    asperson::Press(Qt::ControlModifier | Qt::Key_V);
    EXPECT_EQ(copies, 1);
    EXPECT_EQ(pastes, 1);
    // The box itself did neither.
    EXPECT_EQ(Clipboard().text(), QStringLiteral("before"));
    EXPECT_EQ(box->toPlainText(), QStringLiteral("kept text"));
}
