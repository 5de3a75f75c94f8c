#include "frmHelp.h"

#include "ScreenUnits.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QTextBrowser>
#include <QTextDocument>
#include <QVBoxLayout>

frmHelp::frmHelp(QWidget *parent) : QWidget(parent, Qt::Window)
{
    setObjectName(QStringLiteral("frmHelp"));
    setWindowTitle(QStringLiteral("Quillon Help"));
    screenunits::ResizeWithinScreen(this, QSize(640, 560));

    auto *searchRow = new QHBoxLayout;
    auto *caption = new QLabel(QStringLiteral("&Search:"), this);
    m_search = new QLineEdit(this);
    m_search->setObjectName(QStringLiteral("txtSearch"));
    m_search->setPlaceholderText(QStringLiteral("Words to find in the guide; Enter for the next"));
    m_search->setClearButtonEnabled(true);
    caption->setBuddy(m_search);
    m_matches = new QLabel(this);
    m_matches->setObjectName(QStringLiteral("lblMatches"));
    searchRow->addWidget(caption);
    searchRow->addWidget(m_search, 1);
    searchRow->addWidget(m_matches);

    m_guide = new QTextBrowser(this);
    m_guide->setObjectName(QStringLiteral("txtGuide"));
    m_guide->setOpenExternalLinks(false);
    m_guide->setSource(QUrl(QStringLiteral("qrc:/quillon/help/guide.html")));

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(searchRow);
    layout->addWidget(m_guide, 1);

    connect(m_search, &QLineEdit::textChanged, this, &frmHelp::MarkMatches);
    connect(m_search, &QLineEdit::returnPressed, this, &frmHelp::NextMatch);
}

void frmHelp::ShowContents()
{
    BringToFront();
    m_guide->setFocus();
}

void frmHelp::ShowSearch()
{
    BringToFront();
    m_search->setFocus();
    m_search->selectAll();
}

void frmHelp::BringToFront()
{
    if (isMinimized())
        showNormal();
    show();
    raise();
    activateWindow();
}

void frmHelp::MarkMatches(const QString &words)
{
    QList<QTextEdit::ExtraSelection> marks;
    const QString wanted = words.trimmed();
    if (wanted.isEmpty()) {
        m_guide->setExtraSelections(marks);
        m_matches->clear();
        return;
    }
    QTextCharFormat marked;
    marked.setBackground(QColor(255, 230, 110));
    QTextDocument *text = m_guide->document();
    for (QTextCursor found = text->find(wanted); !found.isNull(); found = text->find(wanted, found))
        marks.append({found, marked});
    m_guide->setExtraSelections(marks);

    if (marks.isEmpty()) {
        m_matches->setText(QStringLiteral("Not found"));
        return;
    }
    m_matches->setText(marks.size() == 1 ? QStringLiteral("1 match")
                                         : QStringLiteral("%1 matches").arg(marks.size()));
    // The first place, shown as the search goes, as a person looks while typing.
    m_guide->setTextCursor(marks.first().cursor);
    m_guide->ensureCursorVisible();
}

void frmHelp::NextMatch()
{
    const QString wanted = m_search->text().trimmed();
    if (wanted.isEmpty())
        return;
    QTextDocument *text = m_guide->document();
    QTextCursor found = text->find(wanted, m_guide->textCursor());
    if (found.isNull()) // past the last: round again from the top
        found = text->find(wanted);
    if (found.isNull())
        return;
    m_guide->setTextCursor(found);
    m_guide->ensureCursorVisible();
}
