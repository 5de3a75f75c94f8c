#include "frmHelp.h"

#include "ScreenUnits.h"

#include <QAccessibleWidget>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QTextBrowser>
#include <QTextDocument>
#include <QVBoxLayout>

namespace {

// A plain widget made a window reads to screen readers as a pane ("client") of some other
// window; the guide is a window of its own.
QAccessibleInterface *HelpWindows(const QString &className, QObject *object)
{
    Q_UNUSED(className);
    if (auto *help = qobject_cast<frmHelp *>(object))
        return new QAccessibleWidget(help, QAccessible::Window);
    return nullptr;
}

} // namespace

frmHelp::frmHelp(QWidget *parent) : QWidget(parent, Qt::Window)
{
    static const bool asWindow = [] {
        QAccessible::installFactory(HelpWindows);
        return true;
    }();
    Q_UNUSED(asWindow);
    setObjectName(QStringLiteral("frmHelp"));
    setWindowTitle(tr("Quillon Help"));
    screenunits::ResizeWithinScreen(this, QSize(640, 560));

    auto *searchRow = new QHBoxLayout;
    auto *caption = new QLabel(tr("&Search:"), this);
    m_search = new QLineEdit(this);
    m_search->setObjectName(QStringLiteral("txtSearch"));
    m_search->setPlaceholderText(tr("Words to find in the guide; Enter for the next"));
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
    m_guide->setAccessibleName(tr("User's guide"));
    m_guide->setAccessibleDescription(
        tr("How to use Quillon: its commands, its keys and what a config file keeps."));
    m_matches->setAccessibleDescription(tr("How many places in the guide hold the words."));

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
        m_matches->setText(tr("Not found"));
        return;
    }
    m_matches->setText(tr("%n match(es)", nullptr, static_cast<int>(marks.size())));
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
