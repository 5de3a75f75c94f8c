// What a screen reader hears of the text box: the document's name, how many characters a
// save would lose, and, after F8, which character the caret stands at and why it is lost.
// The marks themselves are only paint, so this is a reader's one way to learn of them.
#include "frmDocument.h"

#include "LossMarks.h"
#include "LossReport.h"

#include <QFileInfo>
#include <QTextBlock>
#include <QTextDocument>

void frmDocument::TellReaders()
{
    connect(this, &QWidget::windowTitleChanged, this, [this] { NameForReaders(); });
    // A change of the count changes the description, which readers are told of; the
    // count changes far less often than the text.
    connect(m_marks, &LossMarks::CountChanged, this, [this] { DescribeForReaders(); });
    // One comparison a key until F8 has described a mark.
    connect(m_txtScript, &QPlainTextEdit::cursorPositionChanged, this, [this] {
        if (m_describedMark >= 0 && m_txtScript->textCursor().position() != m_describedMark) {
            m_describedMark = -1;
            DescribeForReaders();
        }
    });
    NameForReaders();
    DescribeForReaders();
}

void frmDocument::NameForReaders()
{
    QString caption = windowTitle();
    if (caption.endsWith(QStringLiteral(" *")))
        caption.chop(2);
    // The changed mark comes and goes with the first key after each save or undo back to
    // it; the caption under it, and so the name, stays.
    if (caption == m_namedCaption && !m_txtScript->accessibleName().isEmpty())
        return;
    m_namedCaption = caption;
    // The file's own name: the window around the box says the whole path.
    const QString name = QFileInfo(caption).fileName();
    // The changed mark comes and goes with the caption; the name stays, and readers are
    // told of a name only when it changes.
    const QString &named = name.isEmpty() ? caption : name;
    if (named != m_txtScript->accessibleName())
        m_txtScript->setAccessibleName(named);
}

void frmDocument::DescribeForReaders()
{
    const int count = m_marks->Count();
    // The plural for one is written out, so that it reads right where no translation
    // supplies the forms.
    QString description =
        count == 0 ? tr("Every character will survive saving.")
        : count == 1
            ? tr("1 character will not survive saving; F8 goes to it.")
            : tr("%n characters will not survive saving; F8 goes to the next one.", nullptr, count);
    if (m_describedMark >= 0) {
        const QString mark = MarkForReaders(m_describedMark);
        if (mark.isEmpty())
            m_describedMark = -1;
        else
            description = mark + QLatin1Char(' ') + description;
    }
    if (description != m_txtScript->accessibleDescription())
        m_txtScript->setAccessibleDescription(description);
}

QString frmDocument::MarkForReaders(int position) const
{
    const std::optional<LossMarks::Loss> loss = m_marks->LossAt(position);
    if (!loss)
        return {};
    const QTextBlock block = m_txtScript->document()->findBlock(position);
    const std::u16string line = block.text().toStdU16String();
    const auto offset = static_cast<std::size_t>(position - block.position());
    if (offset >= line.size())
        return {};
    // Columns count characters, as the save's question does: a pair is one.
    std::size_t pairs = 0;
    for (std::size_t i = 1; i < offset; ++i)
        pairs += QChar::isHighSurrogate(line[i - 1]) && QChar::isLowSurrogate(line[i]);
    QString reason;
    switch (*loss) {
    case LossMarks::Loss::AtThisPosition:
        reason = tr("a config file keeps this character at some positions, but not at this one");
        break;
    case LossMarks::Loss::AtAnyPosition:
        reason = tr("a config file drops or changes this character wherever it stands");
        break;
    case LossMarks::Loss::RefusesSave:
        reason = tr("a config file cannot hold this character at all, and saving is refused "
                    "while it is here");
        break;
    }
    return tr("%1 at line %L2, column %L3 will not survive saving: %4.")
        .arg(QString::fromStdString(lossreport::CharacterName(line, offset)))
        .arg(block.blockNumber() + 1)
        .arg(static_cast<qulonglong>(offset - pairs + 1))
        .arg(reason);
}
