#include "frmDocument.h"

#include "AfterRepaint.h"
#include "DocumentText.h"
#include "Encryption.h"
#include "FileLayer.h"
#include "Globals.h"
#include "LineBreaks.h"
#include "LossMarks.h"
#include "LossTexts.h"
#include "Modal.h"
#include "PlainTextBox.h"
#include "Survival.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QFont>
#include <QPlainTextEdit>
#include <QTextBlock>
#include <QTextDocument>

#include <algorithm>
#include <exception>
#include <utility>

frmDocument::frmDocument(Modal &modal, QWidget *parent)
    : QMdiSubWindow(parent), m_modal(modal), m_files(&DiskFileLayer())
{
    setAttribute(Qt::WA_DeleteOnClose);
    m_markSoon = new AfterRepaint([this] { ShowChangedMark(); }, this);
    m_lossStatusSoon = new AfterRepaint([this] { ShowLossStatus(); }, this);

    m_txtScript = new PlainTextBox(this);
    m_txtScript->setObjectName(QStringLiteral("txtScript"));
    QFont font(QStringLiteral("Arial"));
    font.setPointSizeF(9.75);
    font.setWeight(QFont::Normal);
    m_txtScript->setFont(font);
    m_txtScript->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_txtScript->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_txtScript->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    // The sub-window's own layout keeps its widget over the whole inner area through
    // every resize, maximize and restore.
    setWidget(m_txtScript);
    setFocusProxy(m_txtScript);
    // Only now: taking the widget lays out the title bar, and a caption is measured for
    // that each time.
    setWindowTitle(QStringLiteral("frmDocument"));

    // Before the marks, which ask for the breaks as they follow an edit.
    m_lineBreaks = new LineBreaks(m_txtScript->document());
    // Marks follow the positions the file will have, which count each line's own break.
    m_marks = new LossMarks(m_txtScript, DocumentKey,
                            [this](const QTextBlock &block) { return BreakLength(block); });
    connect(m_marks, &LossMarks::CountChanged, this, [this] { UpdateLossStatus(m_textLength); });

    // Text1 like any loaded text: in the box when first needed. A window made for a file
    // mostly never needs it.
    m_textToCome = QStringLiteral("Text1");
    MarkSaved(QString());
    m_txtScript->installEventFilter(this);
    m_txtScript->viewport()->installEventFilter(this);
    connect(m_txtScript->document(), &QTextDocument::contentsChange, this,
            [this](int position, int, int added) { FollowEdit(position, added); });
    connect(m_txtScript->document(), &QTextDocument::contentsChanged, this,
            [this] { OnContentsChanged(); });
    TellReaders();
}

void frmDocument::FillBox() const
{
    if (!m_textToCome)
        return;
    // The text is what the document holds all along; only the box's copy of it is late.
    auto *self = const_cast<frmDocument *>(this);
    self->TakeAsLoaded(*std::exchange(self->m_textToCome, std::nullopt));
}

void frmDocument::TakeAsLoaded(const QString &text)
{
    // Nothing is compared with what the box held before: the text replaces it as saved.
    SetTextAsIs(text);
    MarkSaved();
    UpdateLossStatus(TextUnits());
}

bool frmDocument::eventFilter(QObject *watched, QEvent *event)
{
    if (m_textToCome) {
        switch (event->type()) {
        case QEvent::Paint:
        case QEvent::FocusIn:
        case QEvent::MouseButtonPress:
        case QEvent::DragEnter:
        case QEvent::InputMethodQuery:
        case QEvent::KeyPress:
            FillBox();
            break;
        default:
            break;
        }
    }
    return QMdiSubWindow::eventFilter(watched, event);
}

void frmDocument::setChanged(bool changed)
{
    FillBox();
    MarkChanged(changed);
}

void frmDocument::MarkChanged(bool changed)
{
    if (changed == m_changed && changed == m_markShown)
        return;
    m_changed = changed;
    ShowChangedMark();
}

void frmDocument::ShowChangedMark()
{
    m_markSoon->Drop();
    if (m_markShown == m_changed)
        return;
    m_markShown = m_changed;
    if (m_changed)
        setWindowTitle(windowTitle() + QStringLiteral(" *"));
    else
        setWindowTitle(windowTitle().remove(QStringLiteral(" *")));
}

QString frmDocument::Text() const
{
    FillBox();
    QString text;
    for (QTextBlock block = m_txtScript->document()->firstBlock(); block.isValid();
         block = block.next()) {
        // QTextBlock::text keeps every character as set; the document's own plain-text
        // export would turn U+00A0 into a blank and U+2028 into LF.
        text += block.text();
        text += QString::fromStdU16String(m_lineBreaks->After(block));
    }
    return text;
}

int frmDocument::BreakLength(const QTextBlock &block) const
{
    return static_cast<int>(m_lineBreaks->After(block).size());
}

void frmDocument::SetText(const QString &text)
{
    // Whether the new text is a change is told against the text the document holds.
    FillBox();
    SetTextAsIs(text);
    OnContentsChanged();
}

void frmDocument::SetTextAsIs(const QString &text)
{
    // Whatever was still to come is replaced with the rest.
    m_textToCome.reset();
    const std::u16string plain = text.toStdU16String();
    const std::vector<doctext::Line> lines = doctext::SplitLines(plain);
    QString joined;
    joined.reserve(text.size());
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (i > 0)
            joined += QLatin1Char('\n');
        joined += QString::fromStdU16String(lines[i].text);
    }

    m_settingText = true;
    // The marks are worked out once for the whole text, when its breaks are known.
    const bool marking = m_marks->Enabled();
    m_marks->SetEnabled(false);
    m_lineBreaks->Hold();
    m_txtScript->setPlainText(joined);
    std::vector<std::u16string> breaks;
    breaks.reserve(lines.size());
    for (const doctext::Line &line : lines)
        breaks.push_back(line.lineBreak);
    m_lineBreaks->Reset(breaks, doctext::PreferredBreak(plain));
    m_marks->SetEnabled(marking);
    m_edited.Replace(0, m_edited.Lines(),
                     static_cast<std::size_t>(m_txtScript->document()->blockCount()));
    m_settingText = false;
}

void frmDocument::MarkSaved()
{
    MarkSaved(Text());
}

void frmDocument::MarkSaved(const QString &text)
{
    m_savedText = text;
    m_savedLines.clear();
    qsizetype start = 0;
    for (QTextBlock block = m_txtScript->document()->firstBlock(); block.isValid();
         block = block.next()) {
        m_savedLines.push_back(start);
        start += block.length() - 1 + static_cast<qsizetype>(m_lineBreaks->After(block).size());
    }
    m_edited.Reset(m_savedLines.size());
    m_txtScript->document()->setModified(false);
    MarkChanged(false);
}

qsizetype frmDocument::TextUnits() const
{
    return m_txtScript->document()->characterCount() - 1 +
           static_cast<qsizetype>(m_lineBreaks->ExtraUnits());
}

void frmDocument::FollowEdit(int position, int added)
{
    if (m_settingText)
        return;
    const QTextDocument *document = m_txtScript->document();
    const auto lines = static_cast<std::size_t>(document->blockCount());
    const QTextBlock first = document->findBlock(position);
    const QTextBlock last =
        document->findBlock(std::min(position + added, document->characterCount() - 1));
    if (!first.isValid() || !last.isValid()) {
        m_edited.Replace(0, m_edited.Lines(), lines);
        return;
    }
    // A line on either side as well: each line's break is kept with the block after it.
    const auto from = static_cast<std::size_t>(std::max(first.blockNumber() - 1, 0));
    const std::size_t to = std::min(static_cast<std::size_t>(last.blockNumber()) + 2, lines);
    const auto were =
        static_cast<std::ptrdiff_t>(to - from) -
        (static_cast<std::ptrdiff_t>(lines) - static_cast<std::ptrdiff_t>(m_edited.Lines()));
    if (were < 0 || from + static_cast<std::size_t>(were) > m_edited.Lines())
        m_edited.Replace(0, m_edited.Lines(), lines);
    else
        m_edited.Replace(from, static_cast<std::size_t>(were), to - from);
}

void frmDocument::OnContentsChanged()
{
    if (m_settingText)
        return;
    // Undo back to the loaded state clears the mark as well as any other way of
    // restoring the text does; a text whose file is gone stays marked until saved. Only
    // a text as long as the saved one can be it, and then only the lines edits touched
    // need a look.
    const qsizetype units = TextUnits();
    const QTextDocument *document = m_txtScript->document();
    QTextBlock block;
    int number = -1;
    const auto same = [&](std::size_t line) {
        if (line >= m_savedLines.size())
            return false;
        // Lines are mostly asked for in turn.
        const int wanted = static_cast<int>(line);
        block = block.isValid() && wanted == number + 1 ? block.next()
                                                        : document->findBlockByNumber(wanted);
        number = wanted;
        const qsizetype start = m_savedLines[line];
        const qsizetype end =
            line + 1 < m_savedLines.size() ? m_savedLines[line + 1] : m_savedText.size();
        const QStringView saved = QStringView(m_savedText).sliced(start, end - start);
        const QString text = block.text();
        const std::u16string &lineBreak = m_lineBreaks->After(block);
        return saved.size() == text.size() + static_cast<qsizetype>(lineBreak.size()) &&
               saved.startsWith(text) &&
               saved.sliced(text.size()) ==
                   QStringView(lineBreak.data(), static_cast<qsizetype>(lineBreak.size()));
    };
    m_changed = m_fileGone || units != m_savedText.size() || m_edited.Differs(same);
    // The caption follows once the window has drawn the edit: a new caption is laid out in
    // the title bar and handed to the frame and the window system, which would hold up the
    // key that changed the text. Changed itself holds at once.
    if (m_changed != m_markShown)
        m_markSoon->Ask();
    UpdateLossStatus(units);
}

void frmDocument::UpdateLossStatus(qsizetype units)
{
    m_textLength = units;
    if (m_marks->Count() != m_statusCount) {
        // At once: the command that goes to the next mark is enabled by the count, and a
        // key pressed next must find it so.
        ShowLossStatus();
        return;
    }
    // The status names the length only past the limit.
    constexpr auto limit = static_cast<qsizetype>(MaxTextUnits);
    if ((units <= limit && m_statusLength <= limit) || m_lossStatusSoon->Due())
        return;
    // Each key past the limit changes the length the status names: it follows once the
    // window has drawn the edit, once for a burst of keys.
    m_lossStatusSoon->Ask();
}

QString frmDocument::LossSummary() const
{
    return LossTexts::LossSummary(static_cast<std::size_t>(m_marks->Count()),
                                  static_cast<std::size_t>(m_textLength));
}

QString frmDocument::LossStatus() const
{
    FillBox();
    return m_lossStatusSoon->Due() ? LossSummary() : m_lossStatus;
}

void frmDocument::ShowLossStatus()
{
    m_lossStatusSoon->Drop();
    m_statusCount = m_marks->Count();
    m_statusLength = m_textLength;
    const QString status = LossSummary();
    if (status == m_lossStatus)
        return;
    m_lossStatus = status;
    emit LossStatusChanged(status);
}

bool frmDocument::GoToNextLoss()
{
    FillBox();
    const int next = m_marks->NextAfter(m_txtScript->textCursor().position());
    if (next < 0)
        return false;
    QTextCursor cursor = m_txtScript->textCursor();
    cursor.setPosition(next);
    m_txtScript->setTextCursor(cursor);
    m_txtScript->ensureCursorVisible();
    m_txtScript->setFocus();
    m_describedMark = next;
    DescribeForReaders();
    return true;
}

bool frmDocument::QueryUnload(int reason)
{
    if (!m_changed)
        return true;
    const QString question = tr("Font file:\r\n%1\r\n has changed, save it now?").arg(FileName);
    switch (m_modal.MsgBox(this, question, tr("Save Before Closing?"), MsgStyle::YesNoCancel)) {
    case MsgAnswer::Yes:
        // A save that did not happen (dialog cancelled, overwrite declined, write failed)
        // keeps the window open with its text, unless the session is ending anyway.
        return SaveAs() || reason == 2;
    case MsgAnswer::No:
        return true;
    case MsgAnswer::Cancel:
    case MsgAnswer::OK:
        break;
    }
    return reason == 2;
}

bool frmDocument::CloseWithReason(int reason)
{
    m_closeReason = reason;
    const bool closed = close();
    m_closeReason = 0;
    return closed;
}

void frmDocument::closeEvent(QCloseEvent *event)
{
    const int reason = m_closeReason;
    m_closeReason = 0;
    if (m_unloaded) {
        QMdiSubWindow::closeEvent(event);
        return;
    }
    // Nothing may escape into the event loop; a failure of the question keeps the window
    // open, a failure of the unload step does not stop the close.
    try {
        if (!QueryUnload(reason)) {
            event->ignore();
            return;
        }
    } catch (const std::exception &) {
        event->ignore();
        return;
    }
    try {
        Form_Unload();
    } catch (const std::exception &) {
    }
    m_unloaded = true;
    QMdiSubWindow::closeEvent(event);
    // Gone from the screen and soon deleted: its title bar is still laid out again as it
    // goes (its layout and then its deletion), and without a caption there is no text to
    // measure for that. A frame that closes with many documents waits for each of them.
    // A window kept to the end of the program is not laid out again, and the caption's
    // change would itself be measured.
    if (event->isAccepted() && testAttribute(Qt::WA_DeleteOnClose))
        setWindowTitle(QString());
}
