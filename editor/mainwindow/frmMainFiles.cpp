// Files that reach the frame from the desktop (dropped on it, or handed over by another
// start of the editor), and open documents' files that others change.

#include "SettingsStore.h"
#include "frmDocument.h"
#include "frmMain.h"

#include <QApplication>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QMdiArea>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPointer>
#include <QTimer>
#include <QUrl>

namespace {

// The local files among what is dragged; folders and remote addresses are not files to
// open.
QStringList DroppedFiles(const QMimeData *data)
{
    QStringList files;
    if (!data || !data->hasUrls())
        return files;
    for (const QUrl &url : data->urls()) {
        if (!url.isLocalFile())
            continue;
        const QString path = url.toLocalFile();
        if (!QFileInfo(path).isDir())
            files << path;
    }
    return files;
}

} // namespace

void frmMain::OpenFiles(const QStringList &paths)
{
    // Each file opened is remembered in the recent files; the store is written once.
    const settings::WriteBatch batch;
    for (const QString &path : paths) {
        try {
            LoadFile(path);
        } catch (const RunTimeError &error) {
            ReportError(error, QStringLiteral("frmMain.OpenFiles"), m_modal);
        } catch (const std::exception &error) {
            ReportError(RunTimeError(ErrorNumber::PathFileAccess, error.what(), "frmMain"),
                        QStringLiteral("frmMain.OpenFiles"), m_modal);
        }
    }
}

void frmMain::BringToFront()
{
    if (isMinimized())
        setWindowState(windowState() & ~Qt::WindowMinimized);
    show();
    raise();
    activateWindow();
}

void frmMain::dragEnterEvent(QDragEnterEvent *event)
{
    if (!DroppedFiles(event->mimeData()).isEmpty())
        event->acceptProposedAction();
}

void frmMain::dragMoveEvent(QDragMoveEvent *event)
{
    if (!DroppedFiles(event->mimeData()).isEmpty())
        event->acceptProposedAction();
}

void frmMain::dropEvent(QDropEvent *event)
{
    const QStringList files = DroppedFiles(event->mimeData());
    if (files.isEmpty())
        return;
    event->acceptProposedAction();
    OpenFiles(files);
}

// A text box takes a dropped file as text (its address); files dropped on a document open
// as they would anywhere else on the frame, while dragged text still lands in the box.
bool frmMain::DropOnDocument(QObject *watched, QEvent *event)
{
    const QEvent::Type type = event->type();
    if (type != QEvent::DragEnter && type != QEvent::DragMove && type != QEvent::Drop)
        return false;
    // Only the text boxes of this frame's documents.
    const auto *box = watched ? qobject_cast<QPlainTextEdit *>(watched->parent()) : nullptr;
    if (!box || box->viewport() != watched || !dynamic_cast<frmDocument *>(box->parent()) ||
        box->window() != this)
        return false;
    switch (type) {
    case QEvent::DragEnter:
    case QEvent::DragMove: {
        auto *drag = static_cast<QDragMoveEvent *>(event);
        if (DroppedFiles(drag->mimeData()).isEmpty())
            break;
        drag->acceptProposedAction();
        return true;
    }
    case QEvent::Drop: {
        auto *drop = static_cast<QDropEvent *>(event);
        const QStringList files = DroppedFiles(drop->mimeData());
        if (files.isEmpty())
            break;
        drop->acceptProposedAction();
        OpenFiles(files);
        return true;
    }
    default:
        break;
    }
    return false;
}

// Asked after the event at hand (an activation, a file notice) is over, and only once for
// any number of notices that come together.
void frmMain::CheckFilesSoon()
{
    if (m_fileCheckQueued || !isActiveWindow())
        return;
    m_fileCheckQueued = true;
    QTimer::singleShot(0, this, [this] {
        m_fileCheckQueued = false;
        CheckFilesOnDisk();
    });
}

void frmMain::CheckFilesOnDisk()
{
    // Not over another question: the frame is active again when that one is answered.
    if (m_checkingFiles || !isActiveWindow() || QApplication::activeModalWidget())
        return;
    m_checkingFiles = true;
    for (QMdiSubWindow *window : m_mdiArea->subWindowList(QMdiArea::CreationOrder)) {
        QPointer<frmDocument> document = dynamic_cast<frmDocument *>(window);
        if (!document || document->isHidden() || !document->FileChangedOnDisk())
            continue;
        // The question is about the document in front.
        m_mdiArea->setActiveSubWindow(document);
        try {
            document->AnswerFileChangedOnDisk();
        } catch (const std::exception &) {
            // Nothing may reach the event loop; the document stays as it was.
        }
    }
    m_checkingFiles = false;
}
