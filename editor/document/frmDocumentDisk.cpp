// The document window's file as others change it: noticed by the file system watcher or
// on the frame's next activation, and told to the user once.
#include "frmDocument.h"

#include "Modal.h"

#include <QCoreApplication>
#include <QFileSystemWatcher>
#include <QPointer>

namespace {

// One watcher for every document: each watcher holds a system notification handle, and a
// user may allow only a hundred or so of those.
QFileSystemWatcher &Watcher()
{
    static QPointer<QFileSystemWatcher> watcher;
    if (!watcher)
        watcher = new QFileSystemWatcher(QCoreApplication::instance());
    return *watcher;
}

} // namespace

void frmDocument::KnowFileOnDisk()
{
    m_knownStamp = docfile::StampOf(FileName.toStdU16String());
    if (m_fileGone) {
        m_fileGone = false;
        OnContentsChanged();
    }
    if (FileName.isEmpty())
        return;
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

void frmDocument::AnswerFileChangedOnDisk()
{
    if (!FileChangedOnDisk())
        return;
    // Told once: whatever the answer, this state of the file is known from here on, and a
    // later Save may write there without asking again, unless a link has taken the file's
    // place (which could lead the save to a file the user never meant).
    KnowFileOnDisk();
    const fsys::Identity now = fsys::StatusOf(FileName.toStdU16String()).identity;
    if (!now.link || m_file.link)
        m_file = now;
    const QString title = QStringLiteral("File Changed");
    if (!m_knownStamp.exists) {
        m_fileGone = true;
        OnContentsChanged();
        m_modal.MsgBox(this,
                       FileName + QStringLiteral("\r\nhas been deleted or moved by another "
                                                 "program.\r\nIts text stays open here; Save "
                                                 "writes it back."),
                       QStringLiteral("File Deleted"), MsgStyle::OKOnly + MsgStyle::Exclamation);
        return;
    }
    const QString question =
        m_changed ? FileName + QStringLiteral("\r\nhas been changed by another program, and "
                                              "it has changes here that are not saved.\r\n"
                                              "Reload it and lose your changes? No keeps "
                                              "your changes.")
                  : FileName + QStringLiteral("\r\nhas been changed by another program.\r\n"
                                              "Reload it?");
    if (m_modal.MsgBox(this, question, title, MsgStyle::YesNo + MsgStyle::Exclamation) ==
        MsgAnswer::Yes)
        LoadFile(FileName);
}
