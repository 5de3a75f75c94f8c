// What the frame's menu items and toolbar buttons do. Each command works on whatever
// document is current when it runs and settles its own errors.

#include "Modal.h"
#include "PageLayoutStore.h"
#include "TextPrinter.h"
#include "frmDocument.h"
#include "frmMain.h"

#include <QAction>
#include <QClipboard>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QMdiArea>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPrinter>
#include <QStatusBar>
#include <QTextCursor>
#include <QToolBar>

#include <algorithm>

namespace {

constexpr int VersionMajor = 1;
constexpr int VersionMinor = 0;
constexpr int VersionRevision = 0;

// Items with no natural command in this program (mail, a special paste, options pages
// with nothing to set, a browser). They are kept, hidden, so that nothing in the menus
// does nothing.
const char *const ItemsWithoutCommand[] = {
    "mnuFileSend", "mnuEditPasteSpecial", "mnuViewOptions", "mnuViewWebBrowser", "mnuToolsOptions",
};

// The selection as plain text: the text box ends its lines with paragraph separators.
QString SelectedText(const QPlainTextEdit &box)
{
    QString text = box.textCursor().selectedText();
    text.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
    text.replace(QChar::LineSeparator, QLatin1Char('\n'));
    return text;
}

} // namespace

void frmMain::ConnectCommands()
{
    connect(Item("mnuFileOpen"), &QAction::triggered, this, &frmMain::mnuFileOpen_Click);
    connect(Item("mnuFileClose"), &QAction::triggered, this, &frmMain::mnuFileClose_Click);
    connect(Item("mnuFileSave"), &QAction::triggered, this, &frmMain::mnuFileSave_Click);
    connect(Item("mnuFileSaveAs"), &QAction::triggered, this, &frmMain::mnuFileSaveAs_Click);
    connect(Item("mnuFilePrint"), &QAction::triggered, this, &frmMain::mnuFilePrint_Click);
    connect(Item("mnuFileExit"), &QAction::triggered, this, &QWidget::close);
    connect(Item("mnuEditCut"), &QAction::triggered, this, &frmMain::mnuEditCut_Click);
    connect(Item("mnuEditCopy"), &QAction::triggered, this, &frmMain::mnuEditCopy_Click);
    connect(Item("mnuEditPaste"), &QAction::triggered, this, &frmMain::mnuEditPaste_Click);
    connect(Item("mnuViewToolbar"), &QAction::toggled, m_toolBar, &QWidget::setVisible);
    connect(Item("mnuViewStatusBar"), &QAction::toggled, statusBar(), &QWidget::setVisible);
    connect(Item("mnuHelpAbout"), &QAction::triggered, this, &frmMain::mnuHelpAbout_Click);

    connect(Item("mnuWindowNewWindow"), &QAction::triggered, this,
            &frmMain::mnuWindowNewWindow_Click);
    connect(Item("mnuWindowCascade"), &QAction::triggered, this, [this] { Arrange(Cascade); });
    connect(Item("mnuWindowTileHorizontal"), &QAction::triggered, this,
            [this] { Arrange(TileHorizontal); });
    connect(Item("mnuWindowTileVertical"), &QAction::triggered, this,
            [this] { Arrange(TileVertical); });
    connect(Item("mnuWindowArrangeIcons"), &QAction::triggered, this,
            [this] { Arrange(ArrangeIcons); });

    connect(Item("mnuEditFind"), &QAction::triggered, this, [this] { mnuEditFind_Click(false); });
    connect(Item("mnuEditReplace"), &QAction::triggered, this, [this] { mnuEditFind_Click(true); });
    connect(Item("mnuEditFindNext"), &QAction::triggered, this, [this] { FindInDocument(true); });
    connect(Item("mnuEditFindPrevious"), &QAction::triggered, this,
            [this] { FindInDocument(false); });
    connect(Item("mnuEditGoTo"), &QAction::triggered, this, &frmMain::mnuEditGoTo_Click);
    connect(Item("mnuEditSelectAll"), &QAction::triggered, this, &frmMain::mnuEditSelectAll_Click);
    connect(m_mdiArea, &QMdiArea::subWindowActivated, this, &frmMain::UpdateCaretPanel);

    connect(m_toolBar, &QToolBar::actionTriggered, this,
            [this](QAction *button) { tbToolBar_ButtonClick(button->data().toString()); });

    ConnectDocumentCommands();
    ConnectRecentFiles();
    ConnectPrintingCommands();
    ConnectHelpCommands();
    HideItemsWithoutCommand();
}

void frmMain::HideItemsWithoutCommand()
{
    for (const char *name : ItemsWithoutCommand)
        Item(name)->setVisible(false);
    // Separators left at an end or side by side are folded away by QMenu itself.
    for (QAction *entry : menuBar()->actions()) {
        const QMenu *menu = entry->menu();
        const QList<QAction *> items = menu->actions();
        entry->setVisible(std::any_of(items.begin(), items.end(), [](const QAction *item) {
            return item->isVisible() && !item->isSeparator();
        }));
    }
}

void frmMain::tbToolBar_ButtonClick(const QString &key)
{
    // The commands settle their own errors; anything else is dropped here, as a button
    // has nobody to report to.
    try {
        if (key == QLatin1String("New"))
            mnuWindowNewWindow_Click();
        else if (key == QLatin1String("Open"))
            mnuFileOpen_Click();
        else if (key == QLatin1String("Save"))
            mnuFileSave_Click();
        else if (key == QLatin1String("Print"))
            mnuFilePrint_Click();
        else if (key == QLatin1String("Cut"))
            mnuEditCut_Click();
        else if (key == QLatin1String("Copy"))
            mnuEditCopy_Click();
        else if (key == QLatin1String("Paste"))
            mnuEditPaste_Click();
    } catch (...) {
    }
}

void frmMain::mnuFileOpen_Click()
{
    FileDialogRequest request;
    request.title = tr("Open");
    request.filter = QCoreApplication::translate("frmDocument", ConfigFileFilter);
    request.filterIndex = 1;
    const std::optional<QString> path = m_modal.OpenFile(this, request);
    if (!path || path->isEmpty())
        return;
    try {
        LoadFile(*path);
    } catch (const RunTimeError &error) {
        ReportError(error, QStringLiteral("frmMain.mnuFileOpen_Click"), m_modal);
    }
}

void frmMain::mnuFileClose_Click()
{
    if (frmDocument *document = ActiveDocument())
        document->CloseWithReason(1);
}

void frmMain::mnuFileSave_Click()
{
    frmDocument *document = ActiveDocument();
    if (!document)
        return;
    // A document that never had a file has nowhere to be saved but where the user says.
    if (document->FileName.isEmpty()) {
        document->SaveFileAs();
        return;
    }
    // A failed save must be seen: the user would otherwise close and lose the text.
    try {
        document->Save();
    } catch (const RunTimeError &error) {
        ReportError(error, QStringLiteral("frmMain.mnuFileSave_Click"), m_modal);
    }
}

void frmMain::mnuFileSaveAs_Click()
{
    if (frmDocument *document = ActiveDocument())
        document->SaveFileAs();
}

void frmMain::mnuFilePrint_Click()
{
    try {
        frmDocument *document = ActiveDocument();
        if (!document)
            return;
        const QPlainTextEdit &box = *document->txtScript();
        PrintRequest request;
        request.title = tr("Print");
        request.selectionPreselected = box.textCursor().hasSelection();
        request.pageRangesDisabled = true;
        QPrinter printer(QPrinter::HighResolution);
        ApplyPageLayout(printer, m_pageLayout);
        if (!m_modal.Print(this, printer, request))
            return;
        PrintPlainText(printer, TextToPrint(box, document->Text()), box.font());
    } catch (...) {
        // Printing reports nothing; a failure leaves the document as it was.
    }
}

void frmMain::mnuEditCopy_Click()
{
    frmDocument *document = ActiveDocument();
    if (!document)
        return;
    QGuiApplication::clipboard()->setText(SelectedText(*document->txtScript()));
}

void frmMain::mnuEditCut_Click()
{
    frmDocument *document = ActiveDocument();
    if (!document)
        return;
    mnuEditCopy_Click();
    QTextCursor cursor = document->txtScript()->textCursor();
    cursor.removeSelectedText();
    document->txtScript()->setTextCursor(cursor);
}

void frmMain::mnuEditPaste_Click()
{
    frmDocument *document = ActiveDocument();
    if (!document)
        return;
    // No text on the clipboard reads as empty text, which deletes the selection.
    const QString text = QGuiApplication::clipboard()->text();
    QTextCursor cursor = document->txtScript()->textCursor();
    if (text.isEmpty())
        cursor.removeSelectedText();
    else
        cursor.insertText(text);
    document->txtScript()->setTextCursor(cursor);
}

void frmMain::mnuHelpAbout_Click()
{
    const QString credits =
        tr("Quillon %1.%2.%3\nThe configuration file editor for Torvane handheld "
           "devices.")
            .arg(VersionMajor)
            .arg(VersionMinor)
            .arg(VersionRevision);
    m_modal.MsgBox(this, credits, tr("Glyph Turner"), MsgStyle::OKOnly + MsgStyle::Information);
}

void frmMain::mnuWindowNewWindow_Click()
{
    try {
        NewDocument();
    } catch (const RunTimeError &error) {
        ReportError(error, QStringLiteral("frmMain.mnuWindowNewWindow_Click"), m_modal);
    }
}
