#pragma once
// One document window of the editor's frame: the plain text of one config file in the
// text box txtScript, the path it came from, and the changed mark in the caption.

#include "DocumentFile.h"
#include "EditedLines.h"
#include "FileSystem.h"
#include "PlainTextBox.h"

#include <QMdiSubWindow>
#include <QString>
#include <QStringList>

#include <optional>
#include <string>
#include <vector>

class AfterRepaint;
class FileLayer;
class LineBreaks;
class LossMarks;
class Modal;
class QCloseEvent;
class QTextBlock;

// The file types offered by the open and save dialogs, config files first.
inline constexpr char ConfigFileFilter[] = QT_TRANSLATE_NOOP(
    "frmDocument",
    "Torvane Config Files (*.cfg)|*.cfg|Ini Files (*.ini)|*.ini|All Files (*.*)|*.*");

class frmDocument : public QMdiSubWindow
{
    Q_OBJECT

public:
    explicit frmDocument(Modal &modal, QWidget *parent = nullptr);
    ~frmDocument() override;

    // The path the text was last loaded from or saved as, exactly as given.
    QString FileName;
    // Set by the frame on its first document of a run, before Form_Load: that window also
    // takes the stored left and top.
    bool FirstDocument = false;

    // Whether the text differs from what was last loaded or saved; shown as " *" at the end
    // of the caption. Writing it changes the caption only when the value changes; an edit
    // changes the value at once and the caption once the window has drawn the edit.
    bool Changed() const { return m_changed; }
    void setChanged(bool changed);

    enum class LoadOutcome { Loaded, Failed, Cancelled };
    // Whether LoadFile puts the text into the box at once, or leaves that for the first
    // time the box or the text is needed (a document opened behind others).
    enum class Fill { Now, Later };
    // Reads, deciphers and shows the file, and takes the path as FileName and caption. A
    // path that names nothing opens as an empty document under that name. A file that is
    // not a config file is opened only as the user then chooses (as plain text, or
    // deciphered anyway); Cancelled leaves the window as it was. Failures are reported to
    // the user here and never reach the caller.
    LoadOutcome LoadFile(QString strFilename, Fill fill = Fill::Now);
    // Whether the text was read from a plain file that no save has enciphered yet.
    bool OpenedAsPlainText() const { return m_plainFile; }
    // Enciphers the text and writes it to FileName. Where FileName now leads to another
    // file than the one loaded (replaced, or made a link), asks first, and writes nothing
    // unless told to. Throws RunTimeError on any failure, with Changed and the file on
    // disk as they were.
    void Save();
    // Asks for a path (and before replacing an existing file), writes there, and takes the
    // path as FileName and caption. Shows its own failures; never throws.
    void SaveFileAs();

    PlainTextBox *txtScript() const
    {
        FillBox();
        return m_txtScript;
    }
    // The box as it is, a text still to come left out: for wiring it up, not for its text.
    PlainTextBox *TextBox() const { return m_txtScript; }
    // Puts a text still to come into the box; nothing when it is there already. Whatever
    // reads or changes the text, and the box's first paint, does this first.
    void FillBox() const;
    // The document's exact text, with each line's own break.
    QString Text() const;
    // Replaces the whole text; the breaks in `text` are kept exactly.
    void SetText(const QString &text);

    // The marks on the characters a save would lose, and what the status bar says about
    // them and about the length limit (empty when all is well).
    LossMarks *Marks() const
    {
        FillBox();
        return m_marks;
    }
    QString LossStatus() const;
    // Moves the caret to the next marked character, from the first again after the last;
    // false when nothing is marked.
    bool GoToNextLoss();
    // Where the document reads and writes its files; the disk unless a test says otherwise.
    void SetFileLayer(FileLayer &files) { m_files = &files; }
    // Whether the file has been written, replaced or removed by somebody else since this
    // window last read or wrote it (or told the user about it).
    bool FileChangedOnDisk() const;
    // How the user answered about a file changed by another program.
    // Gone: the file was removed, and (when not told here) the caller tells it.
    enum class DiskAnswer { Keep, Reload, KeepAll, ReloadAll, Gone };
    // Tells the user about such a change, once: a document offers to reload, a changed one
    // keeping its edits in a new untitled document (EditsSetAside); a removed file leaves
    // the text open, marked changed, for Save to write back. `others` more documents'
    // files changed as well: the question then offers answers for all of them. `forAll`,
    // an answer given for all, is taken without asking. Without `tellGone` a removed file
    // is left for the caller to tell, with others. Gives the answer taken.
    DiskAnswer AnswerFileChangedOnDisk(int others = 0,
                                       std::optional<DiskAnswer> forAll = std::nullopt,
                                       bool tellGone = true);
    // Whether the file was removed from under the document and not written back since.
    bool FileGone() const { return m_fileGone; }
    // Drops the watches on every document's file and gives back the files they were on;
    // WatchFilesAgain puts them back. A program that ends with its watches still in place
    // waits as it ends for the system to take them apart.
    static QStringList StopWatchingFiles();
    static void WatchFilesAgain(const QStringList &files);

    // Restores the stored size and state (and position for the first document). The frame
    // calls it once, after adding the window to its area and before showing it.
    void Form_Load();
    // The question before closing. False when the close is refused. Reasons: 0 the user,
    // 1 the program, 2 the session ending, 4 the frame closing.
    bool QueryUnload(int reason);
    // Closes the window as asked for by `reason`; false when the close was refused.
    bool CloseWithReason(int reason);

signals:
    void LossStatusChanged(const QString &status);
    // The text was written to `path`, by Save or Save As.
    void FileWritten(const QString &path);
    // The file system reported a change of the file; whether it is somebody else's is
    // for FileChangedOnDisk to say.
    void FileTouched();
    // A reload is about to replace text that was never saved; `text` is that text, to go
    // on in a document of its own.
    void EditsSetAside(const QString &text);

protected:
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // SaveFileAs, telling whether the text was written.
    bool SaveAs();
    void Form_Unload();
    void MarkSaved();
    // Adds or removes the changed mark so that the caption shows Changed.
    void ShowChangedMark();
    // Takes `text`, the document's exact text, as the one last loaded or saved.
    void MarkSaved(const QString &text);
    // setChanged, the text left as it is (a text still to come too).
    void MarkChanged(bool changed);
    // SetText without the changed check that follows an edit.
    void SetTextAsIs(const QString &text);
    // Puts `text` in the box as the one last loaded or saved.
    void TakeAsLoaded(const QString &text);
    // Whether FileName may be written: it leads to the file last loaded or saved there, or
    // the user said to write anyway.
    bool MayWriteOver();
    void OnContentsChanged();
    // Notes the lines an edit touched, for the check whether the text is still the saved
    // one; `added` units now stand from `position` on.
    void FollowEdit(int position, int added);
    // The length of the text in units of the file, each break as it will be saved.
    qsizetype TextUnits() const;
    void UpdateLossStatus(qsizetype units);
    // The status for the marks' count and the length as they are now.
    QString LossSummary() const;
    void ShowLossStatus();
    // How many units of the file the line break after `block` takes.
    int BreakLength(const QTextBlock &block) const;

    // In frmDocumentReader.cpp: the text box's name and description for screen readers.
    void TellReaders();
    void NameForReaders();
    void DescribeForReaders();
    // Which character is marked at `position` and why, or empty when none is.
    QString MarkForReaders(int position) const;

    // In frmDocumentSaveChecks.cpp. Asks what a save of the text to `path` would need
    // asked, writes it and checks what was written. False when the user cancelled; raises
    // RunTimeError for a text that cannot be written and for a file that reads back wrong.
    bool WriteChecked(const QString &path, const char *source);
    void ReplaceLostCharacters();
    // After a load: counts the positions of `stored` that did not come through and says so.
    void WarnUnshown(const std::u16string &stored, bool oddLength);
    // The file as it is now is the one this window knows, and it is watched for changes.
    void KnowFileOnDisk();
    void ReleaseWatch();
    // Reads the file again after another program changed it.
    void ReloadFromDisk();

    Modal &m_modal;
    PlainTextBox *m_txtScript = nullptr;
    bool m_changed = false;
    bool m_markShown = false;           // whether the caption carries the changed mark
    AfterRepaint *m_markSoon = nullptr; // a change of the mark on its way
    bool m_settingText = false;
    // The text the box is to hold, loaded (or the first "Text1") but not put in yet: a
    // box takes as long to fill as the rest of opening its file, and those behind the
    // first one are not seen at once.
    std::optional<QString> m_textToCome;
    bool m_unloaded = false;
    int m_closeReason = 0;
    QString m_savedText;                 // the text as last loaded or saved
    std::vector<qsizetype> m_savedLines; // where each of its lines starts
    doctext::EditedLines m_edited;       // the lines edited since
    fsys::Identity m_file;               // the file FileName led to when last loaded or saved
    LineBreaks *m_lineBreaks = nullptr;  // each line's own break
    LossMarks *m_marks = nullptr;
    QString m_lossStatus;
    int m_statusCount = 0;                    // the count m_lossStatus was made for
    qsizetype m_statusLength = 0;             // and the length
    AfterRepaint *m_lossStatusSoon = nullptr; // a new length past the limit, to show soon
    qsizetype m_textLength = 0; // in units of the file, line breaks as they will be saved
    FileLayer *m_files = nullptr;
    // Positions of the loaded file that the text does not show, until a save over it.
    std::size_t m_unshownPositions = 0;
    bool m_watching = false;
    QString m_watchedPath; // the file this document keeps watched, counted with others on it
    docfile::FileStamp m_knownStamp; // the file as last read, written or told about
    bool m_fileGone = false;
    // Read as plain text: the first save over the file asks before enciphering it.
    bool m_plainFile = false;
    // The marked character F8 went to, described to readers while the caret stays there.
    int m_describedMark = -1;
    QString m_namedCaption; // the caption, without the changed mark, readers were named for
};
