// The document window's file as others change it: noticed by the file system watcher or
// on the frame's next activation, and told to the user once.
#include "frmDocument.h"

#include "Modal.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QFileSystemWatcher>
#include <QHash>
#include <QPointer>

namespace {

// One watcher for every document: each watcher holds a system notification handle, and a
// user may allow only a hundred or so of those.
QPointer<QFileSystemWatcher> &WatcherMade()
{
    static QPointer<QFileSystemWatcher> watcher;
    return watcher;
}

QFileSystemWatcher &Watcher()
{
    QPointer<QFileSystemWatcher> &watcher = WatcherMade();
    if (!watcher)
        watcher = new QFileSystemWatcher(QCoreApplication::instance());
    return *watcher;
}

// How many documents keep each path watched: the same file may be open in two windows,
// and the watch goes only with the last of them.
QHash<QString, int> &WatchCounts()
{
    static QHash<QString, int> counts;
    return counts;
}

} // namespace

frmDocument::~frmDocument()
{
    ReleaseWatch();
}

void frmDocument::ReleaseWatch()
{
    if (m_watchedPath.isEmpty())
        return;
    QHash<QString, int> &counts = WatchCounts();
    if (--counts[m_watchedPath] <= 0) {
        counts.remove(m_watchedPath);
        if (QFileSystemWatcher *const watcher = WatcherMade())
            watcher->removePath(m_watchedPath);
    }
    m_watchedPath.clear();
}

QStringList frmDocument::StopWatchingFiles()
{
    // Not made for this: without a document's file there is nothing to drop.
    QFileSystemWatcher *const watcher = WatcherMade();
    const QStringList files = watcher ? watcher->files() : QStringList();
    if (!files.isEmpty())
        watcher->removePaths(files);
    return files;
}

void frmDocument::WatchFilesAgain(const QStringList &files)
{
    // A file gone meanwhile is not watched; the frame's check on its next activation
    // tells of it, as of any change made while nothing watched.
    if (!files.isEmpty())
        Watcher().addPaths(files);
}

void frmDocument::KnowFileOnDisk()
{
    m_knownStamp = docfile::StampOf(FileName.toStdU16String());
    if (m_fileGone) {
        m_fileGone = false;
        OnContentsChanged();
    }
    // A file saved under another name leaves the old one to whoever else has it open.
    if (m_watchedPath != FileName)
        ReleaseWatch();
    if (FileName.isEmpty())
        return;
    if (m_watchedPath.isEmpty()) {
        m_watchedPath = FileName;
        ++WatchCounts()[FileName];
    }
    QFileSystemWatcher &watcher = Watcher();
    if (!m_watching) {
        m_watching = true;
        connect(&watcher, &QFileSystemWatcher::fileChanged, this, [this](const QString &path) {
            if (path == FileName)
                emit FileTouched();
        });
    }
    // Watched afresh each time: a file replaced by renaming (as every save here does, and
    // many other programs too) is a new file, and the old watch went with the old one.
    watcher.removePath(FileName);
    if (m_knownStamp.exists)
        watcher.addPath(FileName);
}

bool frmDocument::FileChangedOnDisk() const
{
    if (FileName.isEmpty())
        return false;
    return docfile::StampOf(FileName.toStdU16String()) != m_knownStamp;
}

frmDocument::DiskAnswer
frmDocument::AnswerFileChangedOnDisk(int others, std::optional<DiskAnswer> forAll, bool tellGone)
{
    if (!FileChangedOnDisk())
        return DiskAnswer::Keep;
    // Told once: whatever the answer, this state of the file is known from here on, and a
    // later Save may write there without asking again, unless a link has taken the file's
    // place (which could lead the save to a file the user never meant): that one Save
    // still asks about, until the user says yes to it there.
    KnowFileOnDisk();
    const fsys::Identity now = fsys::StatusOf(FileName.toStdU16String()).identity;
    const bool newLink = now.link && now != m_file;
    if (!newLink)
        m_file = now;
    if (!m_knownStamp.exists) {
        m_fileGone = true;
        OnContentsChanged();
        if (!tellGone)
            return DiskAnswer::Gone;
        m_modal.MsgBox(this,
                       tr("%1\r\nhas been deleted or moved by another program.\r\nIts text "
                          "stays open here; Save writes it back.")
                           .arg(FileName),
                       tr("File Deleted"), MsgStyle::OKOnly + MsgStyle::Exclamation);
        return DiskAnswer::Gone;
    }

    DiskAnswer answer = forAll.value_or(DiskAnswer::Keep);
    if (!forAll) {
        QuestionRequest question;
        question.title = tr("File Changed");
        question.text = m_changed ? tr("%1\r\nhas been changed by another program, and it has "
                                       "changes here that are not saved.")
                                  : tr("%1\r\nhas been changed by another program.");
        question.text = question.text.arg(FileName);
        if (newLink)
            question.text += tr("\r\nIt is now a link to another file, %1; Save will "
                                "ask before writing through it.")
                                 .arg(QFileInfo(FileName).symLinkTarget());
        question.text += m_changed ? tr("\r\nReload it? Your changes then stay open "
                                        "in a new untitled document.")
                                   : tr("\r\nReload it?");
        if (others > 0)
            question.text += tr("\r\n\r\n%n more open file(s) have been changed too.", nullptr,
                                static_cast<int>(others));
        // No letters of their own: the question may come up in the middle of a word.
        question.buttons = {m_changed ? tr("Keep My Changes") : tr("Don't Reload"), tr("Reload")};
        if (others > 0)
            question.buttons << tr("Don't Reload Any") << tr("Reload All");
        question.guarded = true;
        const DiskAnswer answers[] = {DiskAnswer::Keep, DiskAnswer::Reload, DiskAnswer::KeepAll,
                                      DiskAnswer::ReloadAll};
        const int chosen = m_modal.Ask(this, question);
        answer = chosen >= 0 && chosen < static_cast<int>(question.buttons.size())
                     ? answers[chosen]
                     : DiskAnswer::Keep;
    }
    if (answer == DiskAnswer::Reload || answer == DiskAnswer::ReloadAll)
        ReloadFromDisk();
    return answer;
}

void frmDocument::ReloadFromDisk()
{
    // Edits are never dropped by a reload: once the file's text has replaced them they go on
    // in a document of their own, and a reload that did not happen leaves them here, still
    // marked as changed.
    const bool edited = m_changed;
    const QString edits = edited ? Text() : QString();
    const fsys::Identity trusted = m_file;
    const LoadOutcome outcome = LoadFile(FileName);
    // Reading through a link is no yes to writing through it.
    if (m_file.link && m_file != trusted)
        m_file = trusted;
    if (edited && outcome == LoadOutcome::Loaded)
        emit EditsSetAside(edits);
    else if (edited)
        MarkChanged(true);
}
