// Find, replace, Go To and Select All in the active document, through the one find bar.
// The text is searched as the text box shows it (one position per line break, whatever
// break the file has), so a position found is a text box position, and since no match
// runs over a line's end, the breaks the document keeps for its lines are never touched.

#include "CaretPanel.h"
#include "FindBar.h"
#include "Modal.h"
#include "TextSearch.h"
#include "frmDocument.h"
#include "frmMain.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QVBoxLayout>

#include <utility>

namespace {

// Columns and lengths are counted in characters as a person sees them: an emoji is one,
// though the text holds it as two units.
int Characters(QStringView text)
{
    int count = 0;
    for (qsizetype i = 0; i < text.size(); ++i, ++count) {
        if (text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate())
            ++i;
    }
    return count;
}

// The units the first `characters` characters of `line` take, all of it when it is shorter.
int UnitsOfCharacters(QStringView line, std::size_t characters)
{
    qsizetype i = 0;
    for (; i < line.size() && characters > 0; ++i, --characters) {
        if (line[i].isHighSurrogate() && i + 1 < line.size() && line[i + 1].isLowSurrogate())
            ++i;
    }
    return static_cast<int>(i);
}

std::u16string ShownText(const QPlainTextEdit &box)
{
    std::u16string text;
    for (QTextBlock block = box.document()->firstBlock(); block.isValid(); block = block.next()) {
        if (block != box.document()->firstBlock())
            text += u'\n';
        text += block.text().toStdU16String();
    }
    return text;
}

void Select(QPlainTextEdit &box, std::size_t position, std::size_t length)
{
    QTextCursor cursor = box.textCursor();
    cursor.setPosition(static_cast<int>(position));
    cursor.setPosition(static_cast<int>(position + length), QTextCursor::KeepAnchor);
    box.setTextCursor(cursor);
}

// What a find or a replace works on: the active document's text box and the find bar's
// pattern. No box when there is no document or nothing to look for.
struct Search
{
    QPlainTextEdit *box = nullptr;
    QString pattern;
};

Search SearchIn(const frmDocument *document, const FindBar &bar)
{
    QString pattern = bar.Pattern();
    if (!document || pattern.isEmpty())
        return {};
    return {document->txtScript(), std::move(pattern)};
}

} // namespace

FindBar &frmMain::Finder()
{
    if (m_findBar)
        return *m_findBar;
    m_findBar = new FindBar(centralWidget());
    m_column->addWidget(m_findBar);
    connect(m_findBar, &FindBar::FindNext, this, [this] { FindInDocument(true); });
    connect(m_findBar, &FindBar::FindPrevious, this, [this] { FindInDocument(false); });
    connect(m_findBar, &FindBar::Replace, this, &frmMain::ReplaceInDocument);
    connect(m_findBar, &FindBar::ReplaceAll, this, &frmMain::ReplaceAllInDocument);
    connect(m_findBar, &FindBar::Closed, this, [this] {
        if (frmDocument *document = ActiveDocument())
            document->txtScript()->setFocus(Qt::OtherFocusReason);
    });
    connect(m_findBar, &FindBar::FocusToDocument, this, [this] {
        if (frmDocument *document = ActiveDocument())
            document->txtScript()->setFocus(Qt::TabFocusReason);
    });
    return *m_findBar;
}

void frmMain::mnuEditFind_Click(bool withReplace)
{
    QString pattern;
    if (frmDocument *document = ActiveDocument()) {
        // A selection within one line is what the user most likely wants to look for.
        const QString selected = document->txtScript()->textCursor().selectedText();
        if (!selected.contains(QChar::ParagraphSeparator))
            pattern = selected;
    }
    Finder().Open(withReplace, pattern);
}

void frmMain::FindInDocument(bool forward)
{
    const Search search = SearchIn(ActiveDocument(), Finder());
    if (!search.box) {
        if (ActiveDocument())
            Finder().Open(false); // nothing to look for yet: ask for it
        return;
    }
    const QString &pattern = search.pattern;
    QPlainTextEdit &box = *search.box;
    const std::u16string text = ShownText(box);
    const QTextCursor cursor = box.textCursor();
    const std::u16string wanted = pattern.toStdU16String();
    const auto found =
        forward
            ? textsearch::FindNext(text, wanted, static_cast<std::size_t>(cursor.selectionEnd()),
                                   Finder().Options())
            : textsearch::FindPrevious(text, wanted,
                                       static_cast<std::size_t>(cursor.selectionStart()),
                                       Finder().Options());
    if (!found) {
        SetStatusText(tr("\"%1\" was not found.").arg(pattern));
        return;
    }
    Select(box, found->position, found->length);
    if (!found->wrapped)
        SetStatusText(QString());
    else if (forward)
        SetStatusText(tr("Passed the end of the document; went on from the top."));
    else
        SetStatusText(tr("Passed the top of the document; went on from the end."));
}

void frmMain::ReplaceInDocument()
{
    const Search search = SearchIn(ActiveDocument(), Finder());
    if (!search.box)
        return;
    const QString &pattern = search.pattern;
    QPlainTextEdit &box = *search.box;
    QTextCursor cursor = box.textCursor();
    // Only a selection that is a match is replaced; otherwise this first finds one.
    if (cursor.hasSelection() &&
        textsearch::MatchesAt(
            ShownText(box), pattern.toStdU16String(),
            static_cast<std::size_t>(cursor.selectionStart()),
            static_cast<std::size_t>(cursor.selectionEnd() - cursor.selectionStart()),
            Finder().Options())) {
        cursor.insertText(Finder().Replacement());
        box.setTextCursor(cursor);
    }
    FindInDocument(true);
}

void frmMain::ReplaceAllInDocument()
{
    const Search search = SearchIn(ActiveDocument(), Finder());
    if (!search.box)
        return;
    const QString &pattern = search.pattern;
    QPlainTextEdit &box = *search.box;
    const std::vector<std::size_t> found =
        textsearch::FindAll(ShownText(box), pattern.toStdU16String(), Finder().Options());
    if (found.empty()) {
        SetStatusText(tr("\"%1\" was not found.").arg(pattern));
        return;
    }
    const QString replacement = Finder().Replacement();
    const auto length = static_cast<int>(pattern.size());
    // One edit block: one Undo takes every replacement back. From the last match back to
    // the first, so the positions still to come do not move.
    QTextCursor cursor(box.document());
    cursor.beginEditBlock();
    for (auto it = found.rbegin(); it != found.rend(); ++it) {
        cursor.setPosition(static_cast<int>(*it));
        cursor.setPosition(static_cast<int>(*it) + length, QTextCursor::KeepAnchor);
        cursor.insertText(replacement);
    }
    cursor.endEditBlock();
    box.setTextCursor(cursor);
    SetStatusText(
        tr("Replaced %n occurrence(s) of \"%1\".", nullptr, static_cast<int>(found.size()))
            .arg(pattern));
}

void frmMain::mnuEditGoTo_Click()
{
    frmDocument *document = ActiveDocument();
    if (!document)
        return;
    QPlainTextEdit &box = *document->txtScript();
    const QTextCursor cursor = box.textCursor();
    const std::optional<QString> answer =
        m_modal.InputBox(this, tr("Line number, or line:column:"), tr("Go To"),
                         QString::number(cursor.blockNumber() + 1));
    if (!answer)
        return;
    const auto place = textsearch::ParsePlace(answer->toStdU16String());
    const auto lines = static_cast<std::size_t>(box.document()->blockCount());
    QString complaint;
    if (!place)
        complaint = tr("\"%1\" is not a place to go to. Type a line number, or a line "
                       "number, a colon and a column number, as in 12:5.")
                        .arg(answer->trimmed());
    else if (place->line > lines)
        complaint = tr("There is no line %1: the document has %n line(s).", nullptr,
                       static_cast<int>(lines))
                        .arg(place->line);
    if (!complaint.isEmpty()) {
        m_modal.MsgBox(this, complaint, tr("Go To"), MsgStyle::OKOnly + MsgStyle::Exclamation);
        return;
    }
    // A column past the end of its line stops at the end.
    const QTextBlock block = box.document()->findBlockByNumber(static_cast<int>(place->line - 1));
    QTextCursor target(block);
    target.setPosition(block.position() + UnitsOfCharacters(block.text(), place->column - 1));
    box.setTextCursor(target);
    box.setFocus(Qt::OtherFocusReason);
}

void frmMain::mnuEditSelectAll_Click()
{
    if (frmDocument *document = ActiveDocument()) {
        document->txtScript()->selectAll();
        document->txtScript()->setFocus(Qt::OtherFocusReason);
    }
}

void frmMain::UpdateCaretPanel()
{
    m_caretPanel->Show(CaretText());
}

QString frmMain::CaretText() const
{
    frmDocument *document = ActiveDocument();
    if (!document)
        return {};
    const QTextCursor cursor = document->txtScript()->textCursor();
    QString text =
        tr("Line %1, Col %2")
            .arg(cursor.blockNumber() + 1)
            .arg(Characters(QStringView(cursor.block().text()).left(cursor.positionInBlock())) + 1);
    if (cursor.hasSelection())
        text += tr(" (%1 selected)").arg(Characters(cursor.selectedText()));
    return text;
}
