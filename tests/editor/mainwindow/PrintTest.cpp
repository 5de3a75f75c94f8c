// Printing the active document, checked on the text of the PDF it was printed to.

#include "FrameFixture.h"
#include "TextPrinter.h"
#include "frmDocument.h"

#include <QAction>
#include <QFile>
#include <QPageLayout>
#include <QPageSize>
#include <QPlainTextEdit>
#include <QPrinter>
#include <QProcess>
#include <QRegularExpression>
#include <QTextCursor>
#include <QToolBar>

namespace {

QString PdfText(const QString &pdf)
{
    QProcess process;
    process.start(QStringLiteral("pdftotext"), {pdf, QStringLiteral("-")});
    if (!process.waitForFinished(30000) || process.exitCode() != 0) {
        ADD_FAILURE() << "pdftotext could not read " << pdf.toStdString();
        return {};
    }
    return QString::fromUtf8(process.readAllStandardOutput());
}

int Pages(const QString &pdfText)
{
    // pdftotext ends every page with a form feed.
    return static_cast<int>(pdfText.count(QLatin1Char('\f')));
}

QString Squeezed(QString text)
{
    text.remove(QLatin1Char('\f'));
    return text.simplified();
}

} // namespace

class PrintTest : public FrameTest
{
protected:
    frmDocument &Document(const QString &text)
    {
        Item("mnuWindowNewWindow")->trigger();
        frmDocument *document = Frame().ActiveDocument();
        EXPECT_NE(document, nullptr);
        document->txtScript()->setPlainText(text);
        return *document;
    }

    QString Pdf(const char *name) { return scratch.filePath(QString::fromUtf8(name)); }
};

TEST_F(PrintTest, WithoutASelectionTheWholeTextIsPrinted)
{
    Document("First line\nSecond line\nThird line");
    modal.AnswerPrint(true, Pdf("all.pdf"));
    Item("mnuFilePrint")->trigger();

    ASSERT_EQ(modal.asked().size(), 1u);
    const PrintRequest &request = modal.asked()[0].print;
    EXPECT_EQ(modal.asked()[0].title, QStringLiteral("Print"));
    EXPECT_FALSE(request.selectionPreselected);
    EXPECT_TRUE(request.pageRangesDisabled);
    const QString text = PdfText(Pdf("all.pdf"));
    EXPECT_EQ(Squeezed(text), QStringLiteral("First line Second line Third line"));
    EXPECT_EQ(Pages(text), 1);
}

TEST_F(PrintTest, WithASelectionOnlyTheSelectionIsPrintedFromMenuAndToolbar)
{
    frmDocument &document = Document("keep out\nprint me\nkeep out too");
    QTextCursor cursor = document.txtScript()->textCursor();
    cursor.setPosition(9);
    cursor.setPosition(17, QTextCursor::KeepAnchor);
    document.txtScript()->setTextCursor(cursor);

    modal.AnswerPrint(true, Pdf("menu.pdf"));
    Item("mnuFilePrint")->trigger();
    modal.AnswerPrint(true, Pdf("button.pdf"));
    for (QAction *button : Frame().findChild<QToolBar *>("tbToolBar")->actions())
        if (button->data().toString() == QLatin1String("Print"))
            button->trigger();

    ASSERT_EQ(modal.asked().size(), 2u);
    for (const auto &asked : modal.asked())
        EXPECT_TRUE(asked.print.selectionPreselected);
    EXPECT_EQ(Squeezed(PdfText(Pdf("menu.pdf"))), QStringLiteral("print me"));
    EXPECT_EQ(Squeezed(PdfText(Pdf("button.pdf"))), QStringLiteral("print me"));
}

TEST_F(PrintTest, CancellingTheDialogPrintsNothing)
{
    Document("unprinted");
    modal.AnswerPrint(false, Pdf("cancelled.pdf"));
    Item("mnuFilePrint")->trigger();
    EXPECT_EQ(modal.asked().size(), 1u);
    EXPECT_FALSE(QFile::exists(Pdf("cancelled.pdf")));
}

TEST_F(PrintTest, LongLinesWrapAndFullPagesBreak)
{
    QStringList words;
    for (int i = 0; i < 120; ++i)
        words << QStringLiteral("word%1").arg(i, 3, 10, QLatin1Char('0'));
    const QString longLine = words.join(QLatin1Char(' '));
    const QString unbroken(300, QLatin1Char('x'));
    QStringList lines{longLine, unbroken};
    for (int i = 0; i < 150; ++i)
        lines << QStringLiteral("line %1").arg(i);
    Document(lines.join(QLatin1Char('\n')));
    modal.AnswerPrint(true, Pdf("long.pdf"));
    Item("mnuFilePrint")->trigger();

    const QString text = PdfText(Pdf("long.pdf"));
    // Every word is there, in order, although no page is wide enough for the line.
    QString squeezed = Squeezed(text);
    EXPECT_TRUE(squeezed.startsWith(longLine.left(200))) << squeezed.left(300).toStdString();
    for (const QString &word : words)
        EXPECT_TRUE(text.contains(word)) << word.toStdString();
    const QStringList printedLines = text.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    for (const QString &line : printedLines)
        EXPECT_LT(line.size(), longLine.size());
    // The unbroken run is cut wherever the page ends, and nothing of it is lost.
    EXPECT_EQ(QString(text).remove(QRegularExpression("[^x]")).size(), 300);
    EXPECT_GE(Pages(text), 2);
    EXPECT_TRUE(text.contains(QStringLiteral("line 149")));
}

TEST_F(PrintTest, PrinterThatCannotStartIsReportedToTheCaller)
{
    QPrinter printer;
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(scratch.filePath("missing-folder/out.pdf"));
    EXPECT_FALSE(PrintPlainText(printer, QStringLiteral("text"), QFont()));
}

namespace {

// The first page's size in points, as pdfinfo reports it.
QSizeF PdfPageSize(const QString &pdf)
{
    QProcess process;
    process.start(QStringLiteral("pdfinfo"), {pdf});
    if (!process.waitForFinished(30000) || process.exitCode() != 0) {
        ADD_FAILURE() << "pdfinfo could not read " << pdf.toStdString();
        return {};
    }
    static const QRegularExpression size(QStringLiteral("Page size:\\s+([0-9.]+) x ([0-9.]+)"));
    const QRegularExpressionMatch match =
        size.match(QString::fromUtf8(process.readAllStandardOutput()));
    if (!match.hasMatch())
        return {};
    return {match.captured(1).toDouble(), match.captured(2).toDouble()};
}

QPageLayout A5Landscape()
{
    return QPageLayout(QPageSize(QPageSize::A5), QPageLayout::Landscape, QMarginsF(10, 12, 14, 16),
                       QPageLayout::Millimeter);
}

} // namespace

TEST_F(PrintTest, PreviewShowsThePagesPrintPrintsWithOrWithoutASelection)
{
    QStringList lines;
    for (int i = 0; i < 120; ++i)
        lines << QStringLiteral("setting%1 = value %1").arg(i);
    frmDocument &document = Document(lines.join(QLatin1Char('\n')));
    for (const bool selection : {false, true}) {
        SCOPED_TRACE(selection ? "selection" : "whole text");
        QTextCursor cursor = document.txtScript()->textCursor();
        cursor.setPosition(selection ? 30 : 0);
        if (selection)
            cursor.setPosition(1500, QTextCursor::KeepAnchor);
        document.txtScript()->setTextCursor(cursor);
        const QString printed = Pdf(selection ? "sel-print.pdf" : "all-print.pdf");
        const QString previewed = Pdf(selection ? "sel-preview.pdf" : "all-preview.pdf");

        modal.AnswerPrint(true, printed);
        Item("mnuFilePrint")->trigger();
        modal.AnswerPreview(previewed);
        Item("mnuFilePrintPreview")->trigger();

        const QString printedText = PdfText(printed);
        EXPECT_EQ(PdfText(previewed), printedText);
        EXPECT_EQ(Pages(PdfText(previewed)), Pages(printedText));
        EXPECT_EQ(PdfPageSize(previewed), PdfPageSize(printed));
        EXPECT_EQ(printedText.contains(QStringLiteral("setting0 ")), !selection);
        EXPECT_TRUE(printedText.contains(QStringLiteral("setting10 ")));
    }
    EXPECT_EQ(modal.asked().back().kind, ScriptedModal::Kind::Preview);
}

TEST_F(PrintTest, PageSetupChoiceIsUsedByPrintAndPreviewAndRememberedAtTheNextStart)
{
    // Cancelled: nothing chosen, nothing stored; the default margins are offered.
    modal.AnswerPageSetup(std::nullopt);
    Item("mnuFilePageSetup")->trigger();
    ASSERT_EQ(modal.asked().size(), 1u);
    EXPECT_EQ(modal.asked()[0].kind, ScriptedModal::Kind::PageSetup);
    EXPECT_EQ(modal.asked()[0].pageLayout.margins(QPageLayout::Millimeter),
              QMarginsF(20, 20, 20, 20));
    EXPECT_FALSE(Store().childGroups().contains(QStringLiteral("PageSetup")));

    modal.AnswerPageSetup(A5Landscape());
    Item("mnuFilePageSetup")->trigger();
    Document("a short text");
    modal.AnswerPrint(true, Pdf("a5.pdf"));
    Item("mnuFilePrint")->trigger();
    modal.AnswerPreview(Pdf("a5-preview.pdf"));
    Item("mnuFilePrintPreview")->trigger();

    // A5 is 148 by 210 mm: 420 by 595 points, here lying on its side.
    for (const char *pdf : {"a5.pdf", "a5-preview.pdf"}) {
        const QSizeF size = PdfPageSize(Pdf(pdf));
        EXPECT_NEAR(size.width(), 595.3, 1) << pdf;
        EXPECT_NEAR(size.height(), 419.5, 1) << pdf;
        EXPECT_EQ(Squeezed(PdfText(Pdf(pdf))), QStringLiteral("a short text"));
    }

    modal.AnswerMessage(MsgAnswer::No); // the document's text is not worth keeping
    ASSERT_TRUE(CloseFrame());
    frame.reset();
    modal.AnswerPageSetup(std::nullopt);
    Item("mnuFilePageSetup")->trigger();
    const QPageLayout offered = modal.asked().back().pageLayout;
    EXPECT_EQ(offered.pageSize().id(), QPageSize::A5);
    EXPECT_EQ(offered.orientation(), QPageLayout::Landscape);
    EXPECT_EQ(offered.margins(QPageLayout::Millimeter), QMarginsF(10, 12, 14, 16));
}

TEST_F(PrintTest, AStoredLayoutThatMakesNoPageGivesTheDefault)
{
    const struct
    {
        const char *key;
        const char *value;
    } spoilers[] = {
        {"PaperWidth", "wide"}, {"PaperHeight", "5"}, {"Orientation", "Upside down"},
        {"MarginLeft", "-3"},   {"MarginTop", "190"}, {"MarginRight", ""},
    };
    for (const auto &spoiler : spoilers) {
        SCOPED_TRACE(spoiler.key);
        Store().clear();
        for (const auto &[key, value] : {std::pair{"PaperWidth", "148"},
                                         {"PaperHeight", "210"},
                                         {"Orientation", "Portrait"},
                                         {"MarginLeft", "10"},
                                         {"MarginTop", "10"},
                                         {"MarginRight", "10"},
                                         {"MarginBottom", "10"}})
            Store().setValue(QStringLiteral("PageSetup/") + key, QString::fromUtf8(value));
        Store().setValue(QStringLiteral("PageSetup/") + spoiler.key,
                         QString::fromUtf8(spoiler.value));
        frame.reset();
        modal.AnswerPageSetup(std::nullopt);
        Item("mnuFilePageSetup")->trigger();
        EXPECT_EQ(modal.asked().back().pageLayout.margins(QPageLayout::Millimeter),
                  QMarginsF(20, 20, 20, 20));
    }
    // Unspoilt, the same values are taken.
    Store().setValue(QStringLiteral("PageSetup/MarginRight"), QStringLiteral("10"));
    frame.reset();
    modal.AnswerPageSetup(std::nullopt);
    Item("mnuFilePageSetup")->trigger();
    EXPECT_EQ(modal.asked().back().pageLayout.pageSize().id(), QPageSize::A5);
}
