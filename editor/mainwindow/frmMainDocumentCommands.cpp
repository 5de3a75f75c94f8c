// The everyday document commands: New, Save All, Properties, Refresh, Undo and Redo.

#include "Modal.h"
#include "frmDocument.h"
#include "frmMain.h"
#include "frmProperties.h"

#include <QAction>
#include <QFileInfo>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPlainTextEdit>
#include <QTextDocument>

namespace {

// How a document is named to the user: its path, or its "Document n" caption until it has
// one, never with the changed mark.
QString DocumentName(const frmDocument &document)
{
    if (!document.FileName.isEmpty())
        return document.FileName;
    return document.windowTitle().remove(QStringLiteral(" *"));
}

} // namespace

void frmMain::ConnectDocumentCommands()
{
    connect(Item("mnuFileNew"), &QAction::triggered, this, &frmMain::mnuWindowNewWindow_Click);
    connect(Item("mnuFileSaveAll"), &QAction::triggered, this, &frmMain::mnuFileSaveAll_Click);
    connect(Item("mnuViewRefresh"), &QAction::triggered, this, &frmMain::mnuViewRefresh_Click);
    connect(Item("mnuFileProperties"), &QAction::triggered, this, [this] {
        if (frmDocument *document = ActiveDocument()) {
            frmProperties dialog(document->FileName, document->Text(), this);
            m_modal.ShowDialog(dialog);
        }
    });
    connect(Item("mnuEditUndo"), &QAction::triggered, this, [this] {
        if (frmDocument *document = ActiveDocument())
            document->txtScript()->undo();
    });
    connect(Item("mnuEditRedo"), &QAction::triggered, this, [this] {
        if (frmDocument *document = ActiveDocument())
            document->txtScript()->redo();
    });
    connect(m_mdiArea, &QMdiArea::subWindowActivated, this, [this] { FollowActiveDocument(); });
    FollowActiveDocument();
}

// Undo and Redo are enabled while the active document's text can go back or forward; they
// follow whichever document is active.
void frmMain::FollowActiveDocument()
{
    for (const QMetaObject::Connection &connection : std::as_const(m_undoConnections))
        disconnect(connection);
    m_undoConnections.clear();

    QAction *undo = Item("mnuEditUndo");
    QAction *redo = Item("mnuEditRedo");
    frmDocument *document = ActiveDocument();
    if (!document) {
        undo->setEnabled(false);
        redo->setEnabled(false);
        return;
    }
    QTextDocument *text = document->txtScript()->document();
    undo->setEnabled(text->isUndoAvailable());
    redo->setEnabled(text->isRedoAvailable());
    m_undoConnections << connect(text, &QTextDocument::undoAvailable, undo, &QAction::setEnabled)
                      << connect(text, &QTextDocument::redoAvailable, redo, &QAction::setEnabled);
}

void frmMain::mnuFileSaveAll_Click()
{
    QList<frmDocument *> changed;
    for (QMdiSubWindow *window : m_mdiArea->subWindowList(QMdiArea::CreationOrder)) {
        auto *document = dynamic_cast<frmDocument *>(window);
        if (document && !document->isHidden() && document->Changed())
            changed.append(document);
    }

    for (qsizetype i = 0; i < changed.size(); ++i) {
        frmDocument *document = changed[i];
        QString reason;
        if (document->FileName.isEmpty()) {
            // The user is asked for a name: show which document it is for.
            m_mdiArea->setActiveSubWindow(document);
            // Save As shows its own failures; a document still changed afterwards was
            // not saved, by a cancel or a failure.
            document->SaveFileAs();
        } else {
            try {
                document->Save();
            } catch (const RunTimeError &error) {
                reason = QString::fromStdString(error.Description);
            }
        }
        if (!document->Changed())
            continue;

        m_mdiArea->setActiveSubWindow(document);
        QString text =
            reason.isEmpty()
                ? tr("Save All stopped at %1, which was not saved.").arg(DocumentName(*document))
                : tr("Save All stopped at %1:\r\n%2").arg(DocumentName(*document), reason);
        const qsizetype left = changed.size() - i - 1;
        if (left > 0)
            text += tr("\r\n\r\n%n more changed document(s) were not saved either.", nullptr,
                       static_cast<int>(left));
        m_modal.MsgBox(this, text, tr("Save All"), MsgStyle::OKOnly + MsgStyle::Information);
        return;
    }
}

void frmMain::mnuViewRefresh_Click()
{
    frmDocument *document = ActiveDocument();
    // A document that never had a file has nothing to come back from.
    if (!document || document->FileName.isEmpty())
        return;
    const QString path = document->FileName;
    // Loading a path that names nothing gives an empty document; for a file that has gone
    // since, that would throw the text away for nothing.
    if (!QFileInfo(path).exists()) {
        m_modal.MsgBox(this,
                       tr("%1\r\n\r\nThe file is no longer there, so the document "
                          "cannot be reloaded. Its text is kept as it is.")
                           .arg(path),
                       tr("Refresh"), MsgStyle::OKOnly + MsgStyle::Information);
        return;
    }
    if (document->Changed()) {
        const MsgAnswer answer =
            m_modal.MsgBox(this,
                           tr("%1\r\n\r\nhas changes that are not saved. Reload it from the file "
                              "and lose them?")
                               .arg(path),
                           tr("Refresh"), MsgStyle::YesNo + MsgStyle::DefaultButton2);
        if (answer != MsgAnswer::Yes)
            return;
    }
    document->LoadFile(path);
}
