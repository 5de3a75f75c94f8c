// Files that reach the frame from the desktop (dropped on it, or handed over by another
// start of the editor), and open documents' files that others change.

#include "SettingsStore.h"
#include "frmDocument.h"
#include "frmMain.h"

#include "Modal.h"

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

#include <algorithm>
#include <optional>
#include <vector>

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
    const OpenBatch documents(*this);
    // The last file opened is the active one; those before it never need to be.
    QPointer<frmDocument> last;
    for (const QString &path : paths) {
        try {
            if (frmDocument *document =
                    OpenDocument(path, Activation::Later, frmDocument::Fill::Now))
                last = document;
        } catch (const RunTimeError &error) {
            ReportError(error, QStringLiteral("frmMain.OpenFiles"), m_modal);
        } catch (const std::exception &error) {
            ReportError(RunTimeError(ErrorNumber::PathFileAccess, error.what(), "frmMain"),
                        QStringLiteral("frmMain.OpenFiles"), m_modal);
        }
    }
    if (last && !last->isHidden())
        m_mdiArea->setActiveSubWindow(last);
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
    std::vector<QPointer<frmDocument>> changed;
    for (QMdiSubWindow *window : m_mdiArea->subWindowList(QMdiArea::CreationOrder)) {
        auto *document = dynamic_cast<frmDocument *>(window);
        if (document && !document->isHidden() && document->FileChangedOnDisk())
            changed.emplace_back(document);
    }
    // Many files changed at once (a checkout, a script) are one question with an answer
    // for them all, not a box for each; many removed are one message.
    std::optional<frmDocument::DiskAnswer> forAll;
    const bool manyGone =
        std::count_if(changed.begin(), changed.end(), [](const QPointer<frmDocument> &document) {
            return !QFileInfo(document->FileName).isFile();
        }) > 1;
    QStringList gone;
    for (std::size_t i = 0; i < changed.size(); ++i) {
        const QPointer<frmDocument> document = changed[i];
        if (!document || !document->FileChangedOnDisk())
            continue;
        // Counted only while there is a question to ask: an answer for all asks no more.
        const auto others =
            forAll ? 0
                   : std::count_if(changed.begin() + static_cast<std::ptrdiff_t>(i) + 1,
                                   changed.end(), [](const QPointer<frmDocument> &other) {
                                       return other && other->FileChangedOnDisk() &&
                                              QFileInfo(other->FileName).isFile();
                                   });
        // The question is about the document in front.
        m_mdiArea->setActiveSubWindow(document);
        try {
            const frmDocument::DiskAnswer answer =
                document->AnswerFileChangedOnDisk(static_cast<int>(others), forAll, !manyGone);
            if (answer == frmDocument::DiskAnswer::KeepAll ||
                answer == frmDocument::DiskAnswer::ReloadAll)
                forAll = answer;
            if (answer == frmDocument::DiskAnswer::Gone)
                gone << document->FileName;
        } catch (const std::exception &) {
            // Nothing may reach the event loop; the document stays as it was.
        }
    }
    if (manyGone && !gone.isEmpty()) {
        constexpr qsizetype Named = 10;
        QString names = QStringList(gone.mid(0, Named)).join(QStringLiteral("\r\n"));
        if (gone.size() > Named)
            names += tr("\r\nand %1 more").arg(gone.size() - Named);
        m_modal.MsgBox(this,
                       tr("%n open file(s) have been deleted or moved by another "
                          "program:\r\n%1\r\nTheir texts stay open here; Save "
                          "writes each back.",
                          nullptr, static_cast<int>(gone.size()))
                           .arg(names),
                       tr("Files Deleted"), MsgStyle::OKOnly + MsgStyle::Exclamation);
    }
    m_checkingFiles = false;
}
