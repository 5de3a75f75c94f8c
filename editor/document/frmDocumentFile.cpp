// The document window's file commands: load, save and save as.
#include "frmDocument.h"

#include "DocumentFile.h"
#include "Encryption.h"
#include "FileLayer.h"
#include "FileSearch.h"
#include "Globals.h"
#include "Modal.h"
#include "modUnicodeRW.h"

#include <QFileInfo>
#include <QPlainTextEdit>
#include <QTextDocument>

#include <new>

namespace {

RunTimeError OutOfMemory(const char *source)
{
    return RunTimeError(ErrorNumber::OutOfMemory, "Out of memory", source);
}

} // namespace

void frmDocument::LoadFile(QString strFilename)
{
    const QString path = strFilename;
    try {
        setChanged(false);
        // An existing file that cannot be read is an error here, not an empty document:
        // taking its path would let the next Save overwrite it with nothing.
        const FileLayer::Contents raw = m_files->Read(path.toStdU16String());
        const std::u16string plain = DeCrypt(raw.units, DocumentKey);
        SetText(QString::fromStdU16String(plain));
        MarkSaved();
        FileName = path;
        m_file = raw.identity;
        setWindowTitle(FileName);
        WarnUnshown(raw.units, raw.oddLength);
        KnowFileOnDisk();
    } catch (const RunTimeError &error) {
        ReportError(error, QStringLiteral("frmDocument.LoadFile"), m_modal);
    } catch (const std::bad_alloc &) {
        ReportError(OutOfMemory("frmDocument.LoadFile"), QStringLiteral("frmDocument.LoadFile"),
                    m_modal);
    }
}

void frmDocument::Save()
{
    if (FileName.isEmpty())
        throw RunTimeError(ErrorNumber::PathNotFound,
                           "The document has no file name yet; use Save As.", "frmDocument.Save");
    try {
        if (!MayWriteOver())
            return;
        if (WriteChecked(FileName, "frmDocument.Save")) {
            m_file = fsys::StatusOf(FileName.toStdU16String()).identity;
            // This write is not news to be told about.
            KnowFileOnDisk();
            emit FileWritten(FileName);
        }
    } catch (const std::bad_alloc &) {
        throw OutOfMemory("frmDocument.Save");
    }
}

bool frmDocument::MayWriteOver()
{
    // Someone who may change the folder could have put a link to a file they may not write
    // in place of this one; the save would then write through it with the user's rights.
    if (docfile::SameFileAsLoaded(FileName.toStdU16String(), m_file))
        return true;
    const QFileInfo now(FileName);
    const QString question =
        now.isSymLink()
            ? QStringLiteral("\"%1\" now leads through a link to another file, %2, not to the "
                             "file it was opened from.  Save over that file anyway?")
                  .arg(FileName, now.symLinkTarget())
            : QStringLiteral("\"%1\" has been replaced by another file or a link since it was "
                             "opened.  Save over it anyway?")
                  .arg(FileName);
    // Enter keeps the other file as it is.
    return m_modal.MsgBox(this, question, QStringLiteral("Save"),
                          MsgStyle::YesNoCancel + MsgStyle::DefaultButton2) == MsgAnswer::Yes;
}

void frmDocument::SaveFileAs()
{
    SaveAs();
}

bool frmDocument::SaveAs()
{
    try {
        FileDialogRequest request;
        request.title = QStringLiteral("Save As");
        request.fileName = FileName;
        request.filter = QString::fromLatin1(ConfigFileFilter);
        request.filterIndex = 1;
        QString chosen;
        for (;;) {
            const std::optional<QString> answer = m_modal.SaveFile(this, request);
            if (!answer || answer->isEmpty())
                return false;
            chosen = *answer;
            // Hidden files count too: replacing one must be asked like any other.
            if (fsys::FindFile(chosen.toStdU16String(), true).empty())
                break;
            const MsgAnswer overwrite =
                m_modal.MsgBox(this, QStringLiteral("File already exists.  Overwrite it?"),
                               QStringLiteral("File Exists"), MsgStyle::YesNoCancel);
            if (overwrite == MsgAnswer::Yes)
                break;
            if (overwrite != MsgAnswer::No)
                return false;
            request.fileName = chosen;
        }

        if (!WriteChecked(chosen, "frmDocument.SaveFileAs"))
            return false;
        // Where the text now lives is where the next Save must write, or Save would put
        // this text over the file it was loaded from.
        FileName = chosen;
        m_file = fsys::StatusOf(FileName.toStdU16String()).identity;
        setWindowTitle(FileName);
        KnowFileOnDisk();
        emit FileWritten(FileName);
        return true;
    } catch (const RunTimeError &error) {
        m_modal.MsgBox(this, QString::fromStdString(error.Description), QString(),
                       MsgStyle::OKOnly);
    } catch (const std::bad_alloc &) {
        m_modal.MsgBox(this, QStringLiteral("Out of memory"), QString(), MsgStyle::OKOnly);
    }
    return false;
}
