#include "QtModal.h"
#include "QtPrintingModal.h"

#include "AsPerson.h"

#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>
#include <QPageSetupDialog>
#include <QPainter>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QPushButton>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>

TEST(QtNameFilters, TurnsBarSeparatedPairsIntoQtFilters)
{
    const QStringList filters = QtNameFilters(QStringLiteral(
        "Torvane Config Files (*.cfg)|*.cfg|Ini Files (*.ini)|*.ini|All Files (*.*)|*.*"));
    ASSERT_EQ(filters.size(), 3);
    EXPECT_EQ(filters[0], QStringLiteral("Torvane Config Files (*.cfg)"));
    EXPECT_EQ(filters[1], QStringLiteral("Ini Files (*.ini)"));
    // "*.*" would hide files without a dot on this platform.
    EXPECT_EQ(filters[2], QStringLiteral("All Files (*)"));
}

TEST(QtNameFilters, DescriptionWithoutPatternAndOddTail)
{
    const QStringList filters = QtNameFilters(QStringLiteral("Text|*.txt;*.log|Dangling"));
    ASSERT_EQ(filters.size(), 1);
    EXPECT_EQ(filters[0], QStringLiteral("Text (*.txt *.log)"));
    EXPECT_TRUE(QtNameFilters(QString()).isEmpty());
}

// The real dialogs, answered from a timer as soon as they are up, so nothing waits for
// a person.

namespace {

template <typename Dialog> void WhenShown(std::function<void(Dialog &)> answer)
{
    auto *timer = new QTimer;
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, [timer, answer] {
        if (auto *dialog = qobject_cast<Dialog *>(QApplication::activeModalWidget())) {
            timer->stop();
            timer->deleteLater();
            answer(*dialog);
        }
    });
    timer->start();
}

} // namespace

TEST(QtModalMsgBox, YesNoCancelMapsEachButtonToItsAnswer)
{
    QtModal modal;
    const std::pair<QMessageBox::StandardButton, MsgAnswer> cases[] = {
        {QMessageBox::Yes, MsgAnswer::Yes},
        {QMessageBox::No, MsgAnswer::No},
        {QMessageBox::Cancel, MsgAnswer::Cancel}};
    for (const auto &[button, expected] : cases) {
        QString title;
        QString text;
        QMessageBox::Icon icon = QMessageBox::Information;
        WhenShown<QMessageBox>([&, button = button](QMessageBox &box) {
            title = box.windowTitle();
            text = box.text();
            icon = box.icon();
            EXPECT_EQ(box.standardButtons(),
                      QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
            box.button(button)->click();
        });
        EXPECT_EQ(modal.MsgBox(nullptr, QStringLiteral("Save it?\r\nnow"),
                               QStringLiteral("Question"), MsgStyle::YesNoCancel),
                  expected);
        EXPECT_EQ(title, QStringLiteral("Question"));
        EXPECT_EQ(text, QStringLiteral("Save it?\r\nnow"));
        EXPECT_EQ(icon, QMessageBox::NoIcon);
    }
}

TEST(QtModalMsgBox, YesNoHasTwoButtonsAndCanMakeNoTheDefault)
{
    QtModal modal;
    const struct
    {
        int style;
        QMessageBox::StandardButton defaultButton;
    } cases[] = {{MsgStyle::YesNo, QMessageBox::Yes},
                 {MsgStyle::YesNo + MsgStyle::DefaultButton2, QMessageBox::No}};
    for (const auto &c : cases) {
        QMessageBox::StandardButton shownDefault = QMessageBox::NoButton;
        WhenShown<QMessageBox>([&](QMessageBox &box) {
            EXPECT_EQ(box.standardButtons(), QMessageBox::Yes | QMessageBox::No);
            shownDefault = box.standardButton(box.defaultButton());
            box.reject(); // Escape
        });
        EXPECT_EQ(
            modal.MsgBox(nullptr, QStringLiteral("Reload?"), QStringLiteral("Refresh"), c.style),
            MsgAnswer::No);
        EXPECT_EQ(shownDefault, c.defaultButton);
    }
}

TEST(QtModalMsgBox, InformationStyleHasTheIconAndOkAndAnEmptyTitleIsTheProgramsOwn)
{
    QApplication::setApplicationDisplayName(QStringLiteral("Quillon"));
    QtModal modal;
    QString title;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    WhenShown<QMessageBox>([&](QMessageBox &box) {
        title = box.windowTitle();
        icon = box.icon();
        EXPECT_EQ(box.standardButtons(), QMessageBox::Ok);
        EXPECT_EQ(box.textFormat(), Qt::PlainText); // a description is never read as markup
        box.button(QMessageBox::Ok)->click();
    });
    EXPECT_EQ(modal.MsgBox(nullptr, QStringLiteral("<b>x</b>"), QString(),
                           MsgStyle::OKOnly + MsgStyle::Information),
              MsgAnswer::OK);
    EXPECT_EQ(title, QStringLiteral("Quillon"));
    EXPECT_EQ(icon, QMessageBox::Information);

    // Closing the box some other way still counts as its one button.
    WhenShown<QMessageBox>([](QMessageBox &box) { box.reject(); });
    EXPECT_EQ(modal.MsgBox(nullptr, QStringLiteral("x"), QString(), MsgStyle::OKOnly),
              MsgAnswer::OK);
}

TEST(QtModalAsk, EachButtonAnswersItsIndexAndEscapeTheLast)
{
    QtModal modal;
    QuestionRequest request;
    request.title = QStringLiteral("Choose");
    request.text = QStringLiteral("<i>Which?</i>");
    request.buttons = {QStringLiteral("&Replace"), QStringLiteral("Save &As It Is"),
                       QStringLiteral("Cancel")};
    for (int index = 0; index < 3; ++index) {
        QStringList captions;
        WhenShown<QMessageBox>([&, index](QMessageBox &box) {
            EXPECT_EQ(box.windowTitle(), QStringLiteral("Choose"));
            EXPECT_EQ(box.text(), QStringLiteral("<i>Which?</i>"));
            EXPECT_EQ(box.textFormat(), Qt::PlainText);
            EXPECT_EQ(box.defaultButton()->text(), QStringLiteral("&Replace"));
            for (QAbstractButton *button : box.buttons())
                captions << button->text();
            for (QAbstractButton *button : box.buttons())
                if (button->text() == request.buttons[index])
                    button->click();
        });
        EXPECT_EQ(modal.Ask(nullptr, request), index);
        captions.sort();
        QStringList expected = request.buttons;
        expected.sort();
        EXPECT_EQ(captions, expected);
    }
    WhenShown<QMessageBox>([](QMessageBox &box) { QTest::keyClick(&box, Qt::Key_Escape); });
    EXPECT_EQ(modal.Ask(nullptr, request), 2);
    // A question whose first answer loses something makes another one the default.
    request.defaultButton = 2;
    WhenShown<QMessageBox>([](QMessageBox &box) { QTest::keyClick(&box, Qt::Key_Return); });
    EXPECT_EQ(modal.Ask(nullptr, request), 2);
}

// A question that comes up while the user types: the keys of the word and the line being
// typed answer nothing; once the keyboard has been quiet, Enter and Escape keep the work.
TEST(QtModalAsk, AGuardedQuestionTakesNoTypedKeyAsAnAnswer)
{
    QtModal modal;
    QuestionRequest request;
    request.title = QStringLiteral("File Changed");
    request.text = QStringLiteral("a.cfg\r\nhas been changed by another program.");
    request.buttons = {QStringLiteral("Keep My Changes"), QStringLiteral("Reload")};
    request.guarded = true;
    for (const Qt::Key answerKey : {Qt::Key_Return, Qt::Key_Escape}) {
        bool stillAsking = false;
        QStringList shortcuts;
        WhenShown<QMessageBox>([&](QMessageBox &box) {
            for (QAbstractButton *button : box.buttons())
                shortcuts << button->shortcut().toString();
            EXPECT_TRUE(QTest::qWaitForWindowActive(&box));
            asperson::Type(QStringLiteral("key r\n"));
            asperson::Press(Qt::Key_Escape);
            QCoreApplication::processEvents();
            stillAsking = QApplication::activeModalWidget() == &box;
            QTest::qWait(300);
            asperson::Press(Qt::Key_Return); // still typing: the quiet starts again
            QCoreApplication::processEvents();
            stillAsking = stillAsking && QApplication::activeModalWidget() == &box;
            EXPECT_TRUE(QTest::qWaitFor([&] { return box.buttons()[0]->isEnabled(); }));
            asperson::Press(answerKey);
        });
        EXPECT_EQ(modal.Ask(nullptr, request), 0);
        EXPECT_TRUE(stillAsking) << "a typed key answered the question";
        EXPECT_EQ(shortcuts, (QStringList{QString(), QString()}));
    }
}

TEST(QtModalFileDialogs, SaveDialogStartsFromTheGivenNameAndFilterAndReturnsTheChoice)
{
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    const QString start = folder.filePath(QStringLiteral("unit.cfg"));
    QtModal modal;
    FileDialogRequest request;
    request.title = QStringLiteral("Save As");
    request.fileName = start;
    request.filter = QStringLiteral("Config (*.cfg)|*.cfg|All Files (*.*)|*.*");
    request.filterIndex = 2;

    WhenShown<QFileDialog>([&](QFileDialog &dialog) {
        EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Save As"));
        EXPECT_EQ(dialog.selectedNameFilter(), QStringLiteral("All Files (*)"));
        EXPECT_EQ(dialog.directory().absolutePath(), QDir(folder.path()).absolutePath());
        dialog.selectFile(folder.filePath(QStringLiteral("other.ini")));
        QMetaObject::invokeMethod(&dialog, "accept"); // what its Save button does
    });
    const std::optional<QString> chosen = modal.SaveFile(nullptr, request);
    ASSERT_TRUE(chosen.has_value());
    EXPECT_EQ(*chosen, folder.filePath(QStringLiteral("other.ini")));

    WhenShown<QFileDialog>([](QFileDialog &dialog) { dialog.reject(); });
    EXPECT_FALSE(modal.OpenFile(nullptr, request).has_value());
}

TEST(QtModalFileDialogs, SaveAddsTheChosenTypesSuffixToATypedNameWithoutOne)
{
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    QtModal modal;
    FileDialogRequest request;
    request.title = QStringLiteral("Save As");
    request.fileName = folder.filePath(QStringLiteral("start.cfg"));
    request.filter = QStringLiteral("Config (*.cfg)|*.cfg|Ini (*.ini)|*.ini|All Files (*.*)|*.*");
    const struct
    {
        int filterIndex;
        const char *typed;
        const char *saved;
    } cases[] = {
        {1, "unit1", "unit1.cfg"},     {2, "unit1", "unit1.ini"},     {3, "unit1", "unit1"},
        {1, "unit1.ini", "unit1.ini"}, {1, "notes.txt", "notes.txt"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.typed);
        request.filterIndex = c.filterIndex;
        WhenShown<QFileDialog>([&](QFileDialog &dialog) {
            if (!asperson::Activate(dialog)) {
                dialog.reject();
                return;
            }
            asperson::Press(Qt::ControlModifier | Qt::Key_A);
            asperson::Type(QString::fromUtf8(c.typed) + QLatin1Char('\n'));
            if (dialog.isVisible())
                dialog.reject();
        });
        const std::optional<QString> chosen = modal.SaveFile(nullptr, request);
        ASSERT_TRUE(chosen.has_value());
        EXPECT_EQ(*chosen, folder.filePath(QString::fromUtf8(c.saved)));
    }
}

TEST(QtModalFileDialogs, OpenDialogTakesATypedNameOfAFileThatDoesNotExistYet)
{
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    QtModal modal;
    FileDialogRequest request;
    request.title = QStringLiteral("Open");
    request.fileName = folder.filePath(QStringLiteral("any.cfg"));
    request.filter = QStringLiteral("Config (*.cfg)|*.cfg");
    WhenShown<QFileDialog>([](QFileDialog &dialog) {
        // Typed into the name box, which has the focus, and taken with Enter.
        if (!asperson::Activate(dialog)) {
            dialog.reject();
            return;
        }
        asperson::Press(Qt::ControlModifier | Qt::Key_A);
        asperson::Type(QStringLiteral("brand new.cfg\n"));
        if (dialog.isVisible())
            dialog.reject(); // refused the name: the test fails below
    });
    // A dialog that refuses the name says so in a message box of its own.
    bool refused = false;
    QTimer watch;
    watch.setInterval(10);
    QObject::connect(&watch, &QTimer::timeout, [&refused] {
        if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
            refused = true;
            box->reject();
        }
    });
    watch.start();
    const std::optional<QString> chosen = modal.OpenFile(nullptr, request);
    watch.stop();
    EXPECT_FALSE(refused);
    ASSERT_TRUE(chosen.has_value());
    EXPECT_EQ(*chosen, folder.filePath(QStringLiteral("brand new.cfg")));
}

TEST(QtModalPrintDialog, SelectionIsPreselectedOnlyWhenAskedAndPageRangesAreOff)
{
    QtPrintingModal modal;
    for (const bool selection : {true, false}) {
        QPrinter printer;
        PrintRequest request;
        request.title = QStringLiteral("Print");
        request.selectionPreselected = selection;
        WhenShown<QPrintDialog>([&](QPrintDialog &dialog) {
            EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Print"));
            EXPECT_EQ(dialog.testOption(QAbstractPrintDialog::PrintSelection), selection);
            EXPECT_FALSE(dialog.testOption(QAbstractPrintDialog::PrintPageRange));
            EXPECT_EQ(dialog.printRange(),
                      selection ? QAbstractPrintDialog::Selection : QAbstractPrintDialog::AllPages);
            dialog.reject();
        });
        EXPECT_FALSE(modal.Print(nullptr, printer, request)); // cancelled
    }
}

TEST(QtModalPageSetup, AcceptKeepsTheChosenLayoutAndCancelSaysSo)
{
    QtPrintingModal modal;
    for (const bool accept : {true, false}) {
        QPrinter printer;
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setPageOrientation(QPageLayout::Portrait);
        QString title;
        WhenShown<QPageSetupDialog>([&](QPageSetupDialog &dialog) {
            title = dialog.windowTitle();
            // What a person's choice comes to: the dialog's printer takes it on accept.
            dialog.printer()->setPageOrientation(QPageLayout::Landscape);
            if (accept)
                dialog.accept();
            else
                dialog.reject();
        });
        EXPECT_EQ(modal.PageSetup(nullptr, printer), accept);
        EXPECT_EQ(title, QStringLiteral("Page Setup"));
    }
}

TEST(QtModalPrintPreview, ThePreviewPaintsThroughTheGivenFunction)
{
    QtPrintingModal modal;
    QPrinter printer;
    int painted = 0;
    QString title;
    WhenShown<QPrintPreviewDialog>([&](QPrintPreviewDialog &dialog) {
        title = dialog.windowTitle();
        dialog.close();
    });
    modal.PrintPreview(nullptr, printer, [&painted](QPrinter &target) {
        QPainter painter(&target);
        painter.drawText(QPointF(10, 10), QStringLiteral("page"));
        ++painted;
    });
    EXPECT_GE(painted, 1);
    EXPECT_EQ(title, QStringLiteral("Print Preview"));
}

TEST(QtModalShowDialog, RunsTheDialogAndGivesItsResult)
{
    QtModal modal;
    for (const int result : {int(QDialog::Accepted), int(QDialog::Rejected)}) {
        QDialog dialog;
        WhenShown<QDialog>([result](QDialog &shown) { shown.done(result); });
        EXPECT_EQ(modal.ShowDialog(dialog), result);
    }
}

// Every question and the input box by keyboard alone: Tab goes round every control and
// back to where it started, Escape cancels, and Enter gives the answer that keeps the
// user's work.
TEST(QtModalKeys, TabGoesRoundEscapeCancelsAndEnterKeepsTheWork)
{
    QtModal modal;
    const auto message = [&modal](int style) {
        return [&modal, style] {
            return static_cast<int>(modal.MsgBox(nullptr, QStringLiteral("x"), {}, style));
        };
    };
    QuestionRequest loss;
    loss.text = QStringLiteral("3 characters will not survive saving.");
    loss.buttons = {QStringLiteral("&Replace and Save"), QStringLiteral("Save &As It Is"),
                    QStringLiteral("Cancel")};
    loss.defaultButton = 2;
    const auto input = [&modal] {
        return modal.InputBox(nullptr, QStringLiteral("Line:"), {}, QStringLiteral("12")) ? 1 : 0;
    };
    constexpr int Yes = static_cast<int>(MsgAnswer::Yes);
    constexpr int No = static_cast<int>(MsgAnswer::No);
    constexpr int Cancel = static_cast<int>(MsgAnswer::Cancel);
    constexpr int OK = static_cast<int>(MsgAnswer::OK);
    const struct
    {
        const char *question;
        std::function<int()> ask;
        int controls; // what Tab goes round
        int onReturn;
        int onEscape;
    } rows[] = {
        // Yes saves (through the Save As dialog), so it is the safe answer here.
        {"save before closing", message(MsgStyle::YesNoCancel), 3, Yes, Cancel},
        {"overwrite", message(MsgStyle::YesNoCancel + MsgStyle::DefaultButton2), 3, No, Cancel},
        {"reload over changes", message(MsgStyle::YesNo + MsgStyle::DefaultButton2), 2, No, No},
        {"message", message(MsgStyle::OKOnly + MsgStyle::Information), 1, OK, OK},
        {"characters lost", [&] { return modal.Ask(nullptr, loss); }, 3, 2, 2},
        {"go to", input, 3, 1, 0},
    };
    for (const auto &row : rows) {
        for (const Qt::Key key : {Qt::Key_Return, Qt::Key_Escape}) {
            QList<QWidget *> visited;
            WhenShown<QDialog>([&visited, key, &row](QDialog &dialog) {
                ASSERT_TRUE(asperson::Activate(dialog)) << row.question;
                QWidget *start = QApplication::focusWidget();
                ASSERT_NE(start, nullptr) << row.question;
                // Round once and a step more: each control once, then the first again.
                for (int i = 0; i <= row.controls; ++i) {
                    visited << QApplication::focusWidget();
                    asperson::Press(QKeyCombination(Qt::Key_Tab));
                }
                // Shift+Tab goes back the same way.
                asperson::Press(Qt::ShiftModifier | Qt::Key_Tab);
                EXPECT_EQ(QApplication::focusWidget(), visited.back()) << row.question;
                // Enter or Escape wherever the focus is, here on the control it started at.
                while (QApplication::focusWidget() != start)
                    asperson::Press(QKeyCombination(Qt::Key_Tab));
                asperson::Press(QKeyCombination(key));
            });
            const int answer = row.ask();
            EXPECT_EQ(answer, key == Qt::Key_Return ? row.onReturn : row.onEscape)
                << row.question << (key == Qt::Key_Return ? " by Enter" : " by Escape");
            ASSERT_EQ(visited.size(), row.controls + 1) << row.question;
            EXPECT_EQ(visited.back(), visited.front())
                << row.question << ": Tab did not come round";
            EXPECT_EQ(QSet<QWidget *>(visited.begin(), visited.end()).size(), row.controls)
                << row.question << ": Tab stayed on one control";
        }
    }
}

TEST(QtModalAboutQt, ShowsTheToolkitsOwnBoxUntilEscape)
{
    QtModal modal;
    QString title;
    WhenShown<QMessageBox>([&title](QMessageBox &box) {
        title = box.windowTitle();
        ASSERT_TRUE(asperson::Activate(box));
        asperson::Press(QKeyCombination(Qt::Key_Escape));
    });
    modal.AboutQt(nullptr);
    EXPECT_EQ(title, QStringLiteral("About Qt"));
}
