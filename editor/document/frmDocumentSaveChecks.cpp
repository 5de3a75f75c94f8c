// What a save asks and checks beyond writing: that the file will hold the text the user
// sees (or that the user chose otherwise), and that the disk gave back what was written.
#include "frmDocument.h"

#include "Encryption.h"
#include "FileLayer.h"
#include "LossMarks.h"
#include "LossTexts.h"
#include "Modal.h"
#include "Replacement.h"
#include "RunTimeError.h"
#include "Survival.h"

#include <QFileInfo>
#include <QPlainTextEdit>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

namespace {

const char *const LossTitle = QT_TRANSLATE_NOOP("frmDocument", "Characters Will Be Lost");
const char *const UnshownTitle = QT_TRANSLATE_NOOP("frmDocument", "Positions Not Shown");
const char *const UnshownSaveTitle =
    QT_TRANSLATE_NOOP("frmDocument", "Save Without Unshown Positions?");
const char *const PlainSaveTitle = QT_TRANSLATE_NOOP("frmDocument", "Encipher Plain File?");

enum LossAnswer { ReplaceAndSave = 0, SaveAsItIs = 1, CancelSave = 2 };

// The file the document was loaded from and the one a save goes to are the same file.
bool SameFile(const QString &a, const QString &b)
{
    return a == b || (QFileInfo::exists(a) && QFileInfo(a) == QFileInfo(b));
}

} // namespace

void frmDocument::WarnUnshown(const std::u16string &stored, bool oddLength)
{
    std::size_t unshown = UnreadableUnits(stored, DocumentKey).size();
    // An odd last byte is read as a unit of its own, which a save writes as two bytes.
    if (oddLength && !stored.empty() &&
        StoredUnitReadable(stored.back(), KeyCodeAt(DocumentKey, stored.size())))
        ++unshown;
    m_unshownPositions = unshown;
    if (unshown == 0)
        return;
    m_modal.MsgBox(this, FileName + QStringLiteral("\n\n") + LossTexts::UnshownWarning(unshown),
                   tr(UnshownTitle), MsgStyle::OKOnly + MsgStyle::Information);
}

bool frmDocument::WriteChecked(const QString &path, const char *source)
{
    const std::u16string shown = Text().toStdU16String();
    if (shown.size() > MaxTextUnits)
        throw RunTimeError(ErrorNumber::Overflow,
                           LossTexts::SaveRefusal(shown, DocumentKey)->toStdString(), source);

    if (m_plainFile && SameFile(path, FileName)) {
        QuestionRequest question;
        question.title = tr(PlainSaveTitle);
        question.text = tr("%1\n\nwas opened as plain text. Saving replaces the plain file "
                           "with an enciphered Torvane config file, which other programs "
                           "cannot read as text.")
                            .arg(path);
        question.buttons = {tr("&Encipher and Save"), tr("Cancel")};
        question.defaultButton = 1;
        if (m_modal.Ask(this, question) != 0)
            return false;
    }

    const bool overLoadedFile = m_unshownPositions > 0 && SameFile(path, FileName);
    if (overLoadedFile) {
        QuestionRequest question;
        question.title = tr(UnshownSaveTitle);
        question.text =
            path + QStringLiteral("\n\n") + LossTexts::UnshownQuestion(m_unshownPositions);
        question.buttons = {tr("&Save"), tr("Cancel")};
        question.defaultButton = 1; // the positions are gone for good once saved over
        if (m_modal.Ask(this, question) != 0)
            return false;
    }

    if (const std::optional<QString> loss = LossTexts::LossQuestion(shown, DocumentKey)) {
        QuestionRequest question;
        question.title = tr(LossTitle);
        question.text = *loss;
        question.buttons = {tr("&Replace and Save"), tr("Save As It &Is"), tr("Cancel")};
        // Both ways of saving lose characters, so a Return meant for the text saves nothing.
        question.defaultButton = 2;
        switch (m_modal.Ask(this, question)) {
        case ReplaceAndSave:
            ReplaceLostCharacters();
            break;
        case SaveAsItIs:
            // Lost characters may be saved as they are, but not those the cipher refuses.
            if (const std::optional<QString> refusal = LossTexts::SaveRefusal(shown, DocumentKey))
                throw RunTimeError(ErrorNumber::Overflow, refusal->toStdString(), source);
            break;
        default:
            return false;
        }
    }

    const QString text = Text();
    const std::u16string plain = text.toStdU16String();
    const std::u16string stored = EnCrypt(plain, DocumentKey);
    m_files->Write(path.toStdU16String(), stored);

    // The disk must give back what was written, or the user would close the document
    // believing it safe. The bytes are compared, not only what they decipher to: a high
    // byte that deciphering ignores would still make the next open warn about the file.
    const FileLayer::Contents written = m_files->Read(path.toStdU16String());
    if (written.oddLength || written.units != stored)
        throw RunTimeError(ErrorNumber::PathFileAccess,
                           path.toStdString() + ": " + LossTexts::ReadBackMismatch().toStdString(),
                           source);

    MarkSaved(text);
    m_unshownPositions = 0;
    m_plainFile = false;
    return true;
}

void frmDocument::ReplaceLostCharacters()
{
    // The replacements are put into the text box as one edit, so that Undo takes them back.
    // Replacing a character that is itself a line break would join lines; then the text is
    // set whole instead. Each round checks the text as the box now gives it.
    for (int round = 0; round < 4; ++round) {
        const std::u16string text = Text().toStdU16String();
        const ReplacedText replaced = ::ReplaceLostCharacters(text, DocumentKey);
        if (replaced.edits.empty())
            return;

        // One box edit for each line that has replacements, from its first to its last:
        // each edit costs the document a walk over every cursor it ever held (the marks
        // had one a character), so the number of edits must not grow with the characters.
        struct LineEdit
        {
            int start;  // box position
            int length; // units the new text takes the place of
            QString with;
        };
        std::vector<LineEdit> lines;
        struct CaretShift
        {
            int end; // box position just past the replaced character
            int by;  // units fewer after it
        };
        std::vector<CaretShift> shifts;
        bool onBreak = false;
        std::size_t fileStart = 0;
        auto edit = replaced.edits.begin();
        for (QTextBlock block = m_txtScript->document()->firstBlock();
             block.isValid() && edit != replaced.edits.end(); block = block.next()) {
            const std::size_t inBlock = static_cast<std::size_t>(block.length() - 1);
            const std::size_t breakEnd =
                block.next().isValid()
                    ? fileStart + inBlock + static_cast<std::size_t>(BreakLength(block))
                    : fileStart + inBlock;
            const QString blockText = block.text();
            int spanStart = -1;
            int spanEnd = 0; // within the block
            QString with;
            for (; edit != replaced.edits.end() && edit->index < breakEnd; ++edit) {
                if (edit->index + edit->length > fileStart + inBlock) {
                    onBreak = true;
                    continue;
                }
                const auto at = static_cast<int>(edit->index - fileStart);
                const auto length = static_cast<int>(edit->length);
                if (spanStart < 0)
                    spanStart = at;
                else
                    with += blockText.mid(spanEnd, at - spanEnd);
                with += QChar(edit->with);
                spanEnd = at + length;
                shifts.push_back({block.position() + spanEnd, length - 1});
            }
            if (spanStart >= 0)
                lines.push_back({block.position() + spanStart, spanEnd - spanStart, with});
            fileStart = breakEnd;
        }
        if (onBreak || edit != replaced.edits.end()) {
            SetText(QString::fromStdU16String(replaced.text));
            continue;
        }
        // Every mark is a cursor the document moves on each edit; they are marked afresh
        // once, after all the edits.
        const bool marking = m_marks->Enabled();
        m_marks->SetEnabled(false);
        // The block is opened and closed on the box's own caret, which Qt's undo then puts
        // back where it was; a block opened on another cursor sends it to that one's place.
        QTextCursor caret = m_txtScript->textCursor();
        int anchor = caret.anchor();
        int position = caret.position();
        // The caret stays before the same character, and a pair of units before it
        // becomes one.
        for (const CaretShift &shift : shifts) {
            if (shift.end <= caret.anchor())
                anchor -= shift.by;
            if (shift.end <= caret.position())
                position -= shift.by;
        }
        caret.beginEditBlock();
        QTextCursor cursor(m_txtScript->document());
        for (auto line = lines.rbegin(); line != lines.rend(); ++line) {
            // The new text goes in before the old is taken out, so that undoing it puts the
            // old back after the caret's place rather than at it, which would push the
            // caret on.
            cursor.setPosition(line->start);
            cursor.insertText(line->with);
            cursor.setPosition(line->start + static_cast<int>(line->with.size()) + line->length,
                               QTextCursor::KeepAnchor);
            cursor.removeSelectedText();
        }
        caret.setPosition(anchor);
        caret.setPosition(position, QTextCursor::KeepAnchor);
        caret.endEditBlock();
        m_txtScript->setTextCursor(caret);
        m_marks->SetEnabled(marking);
    }
    const std::u16string text = Text().toStdU16String();
    if (!LostUnits(text, DocumentKey).empty())
        SetText(QString::fromStdU16String(::ReplaceLostCharacters(text, DocumentKey).text));
}
