// The document window's file commands: load, save and save as.
#include "frmDocument.h"

#include "DocumentFile.h"
#include "Encryption.h"
#include "FileLayer.h"
#include "FileSearch.h"
#include "Globals.h"
#include "Modal.h"
#include "Recognition.h"
#include "modUnicodeRW.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QFileInfo>
#include <QPlainTextEdit>
#include <QStringDecoder>
#include <QTextDocument>

#include <new>

namespace {

RunTimeError OutOfMemory(const char *source)
{
    return RunTimeError(ErrorNumber::OutOfMemory, "Out of memory", source);
}

enum HowToOpen { OpenAsPlainText = 0, DecipherAnyway = 1, CancelOpen = 2 };

// The file's bytes as a text editor reads them: by their byte-order mark, else as UTF-8,
// else in the system's 8-bit encoding, and where even that fails byte by byte as Latin-1,
// so that no byte is turned into a replacement character.
QString PlainTextOf(const FileLayer::Contents &raw)
{
    QByteArray bytes;
    bytes.reserve(static_cast<qsizetype>(raw.units.size() * 2));
    for (const char16_t unit : raw.units) {
        bytes.append(static_cast<char>(unit & 0xFF));
        bytes.append(static_cast<char>(unit >> 8));
    }
    if (raw.oddLength)
        bytes.chop(1);
    if (const std::optional<QStringConverter::Encoding> marked =
            QStringConverter::encodingForData(bytes)) {
        QStringDecoder decoder(*marked);
        return decoder(bytes);
    }
    for (const QStringConverter::Encoding encoding :
         {QStringConverter::Utf8, QStringConverter::System}) {
        QStringDecoder decoder(encoding, QStringConverter::Flag::Stateless);
        const QString text = decoder(bytes);
        if (!decoder.hasError())
            return text;
    }
    return QString::fromLatin1(bytes);
}

// Asked before anything of a file that is not a config file is shown: deciphering it
// shows nonsense, and a save would then replace the file with an enciphered one.
int AskHowToOpen(Modal &modal, QWidget *parent, const QString &path)
{
    QuestionRequest question;
    question.title = QCoreApplication::translate("frmDocument", "Not a Config File");
    question.text =
        QCoreApplication::translate("frmDocument",
                                    "%1\n\ndoes not look like a Torvane config file: Quillon "
                                    "never writes a file like it. It may be a plain text file.\n\n"
                                    "Open as Plain Text shows the text as it is; saving it later "
                                    "asks before the file is enciphered. Decipher Anyway reads it "
                                    "as a damaged config file.")
            .arg(path);
    question.buttons = {QCoreApplication::translate("frmDocument", "Open as Plain Text"),
                        QCoreApplication::translate("frmDocument", "Decipher Anyway"),
                        QCoreApplication::translate("frmDocument", "Cancel")};
    question.defaultButton = CancelOpen;
    return modal.Ask(parent, question);
}

} // namespace

frmDocument::LoadOutcome frmDocument::LoadFile(QString strFilename, Fill fill)
{
    const QString path = strFilename;
    const bool wasChanged = m_changed;
    try {
        MarkChanged(false);
        // An existing file that cannot be read is an error here, not an empty document:
        // taking its path would let the next Save overwrite it with nothing.
        const FileLayer::Contents raw = m_files->Read(path.toStdU16String());
        bool asPlainText = false;
        if (!LooksEnciphered(raw.units)) {
            switch (AskHowToOpen(m_modal, this, path)) {
            case OpenAsPlainText:
                asPlainText = true;
                break;
            case DecipherAnyway:
                break;
            default:
                MarkChanged(wasChanged);
                return LoadOutcome::Cancelled;
            }
        }
        QString text = asPlainText ? PlainTextOf(raw)
                                   : QString::fromStdU16String(DeCrypt(raw.units, DocumentKey));
        if (fill == Fill::Later) {
            // Taken as loaded and saved as it is put in; until then nothing has changed it.
            m_textToCome = std::move(text);
        } else {
            TakeAsLoaded(text);
        }
        FileName = path;
        m_file = raw.identity;
        m_plainFile = asPlainText;
        setWindowTitle(FileName);
        if (asPlainText)
            m_unshownPositions = 0;
        else
            WarnUnshown(raw.units, raw.oddLength);
        KnowFileOnDisk();
        return LoadOutcome::Loaded;
    } catch (const RunTimeError &error) {
        ReportError(error, QStringLiteral("frmDocument.LoadFile"), m_modal);
    } catch (const std::bad_alloc &) {
        ReportError(OutOfMemory("frmDocument.LoadFile"), QStringLiteral("frmDocument.LoadFile"),
                    m_modal);
    }
    return LoadOutcome::Failed;
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
        now.isSymLink() ? tr("\"%1\" now leads through a link to another file, %2, not to the "
                             "file it was opened from.  Save over that file anyway?")
                              .arg(FileName, now.symLinkTarget())
                        : tr("\"%1\" has been replaced by another file or a link since it was "
                             "opened.  Save over it anyway?")
                              .arg(FileName);
    // Enter keeps the other file as it is.
    return m_modal.MsgBox(this, question, tr("Save"),
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
        request.title = tr("Save As");
        request.fileName = FileName;
        request.filter = tr(ConfigFileFilter);
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
            // Enter keeps the file that is there.
            const MsgAnswer overwrite =
                m_modal.MsgBox(this, tr("File already exists.  Overwrite it?"), tr("File Exists"),
                               MsgStyle::YesNoCancel + MsgStyle::DefaultButton2);
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
        m_modal.MsgBox(this, tr("Out of memory"), QString(), MsgStyle::OKOnly);
    }
    return false;
}
