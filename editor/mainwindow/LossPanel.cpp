#include "LossPanel.h"

#include "AfterRepaint.h"
#include "LossMarks.h"
#include "frmDocument.h"

#include <QAction>
#include <QEvent>
#include <QMdiArea>
#include <QMouseEvent>

LossPanel::LossPanel(QMdiArea *area, QAction *next, QWidget *parent)
    : QLabel(parent), m_area(area), m_next(next),
      m_soon(new AfterRepaint([this] { ShowNow(); }, this))
{
    setObjectName(QStringLiteral("sbStatusBarLoss"));
    setToolTip(tr("Characters a Torvane config file would drop or change. Click "
                  "here or press F8 to go to the next one."));
    setCursor(Qt::PointingHandCursor);
    setVisible(false);

    connect(next, &QAction::triggered, this, &LossPanel::GoToNext);

    connect(area, &QMdiArea::subWindowActivated, this, &LossPanel::Follow);
    Follow();
}

QSize LossPanel::minimumSizeHint() const
{
    return {0, HintsForText().minimumHeight};
}

QSize LossPanel::sizeHint() const
{
    return HintsForText().size;
}

const LossPanel::Hints &LossPanel::HintsForText() const
{
    const QString shown = text();
    for (const Hints &hints : m_hints) {
        if (hints.size.isValid() && hints.text == shown)
            return hints;
    }
    Hints &hints = m_hints[m_nextHints];
    m_nextHints = (m_nextHints + 1) % m_hints.size();
    hints.text = shown;
    hints.size = QLabel::sizeHint();
    hints.minimumHeight = QLabel::minimumSizeHint().height();
    return hints;
}

void LossPanel::changeEvent(QEvent *event)
{
    QLabel::changeEvent(event);
    // The hints hold only for the font, style and margins they were measured in.
    switch (event->type()) {
    case QEvent::FontChange:
    case QEvent::StyleChange:
    case QEvent::ContentsRectChange:
        m_hints = {};
        break;
    default:
        break;
    }
}

void LossPanel::Follow()
{
    // The current window, not the active one: that one is none while another program has
    // the focus, and F8 and the panel must still find their document.
    auto *document = qobject_cast<frmDocument *>(m_area->currentSubWindow());
    if (document && document == m_document)
        return;
    disconnect(m_status);
    disconnect(m_gone);
    m_document = document;
    if (!document) {
        Show(QString());
        return;
    }
    m_status = connect(document, &frmDocument::LossStatusChanged, this, &LossPanel::Show);
    // The area itself may be half destroyed when its documents go, so a closing document
    // only lets go of the panel; the area's next activation brings the next document.
    m_gone = connect(document, &QObject::destroyed, this, [this] {
        disconnect(m_status);
        m_document = nullptr;
        Show(QString());
    });
    Show(document->LossStatus());
}

void LossPanel::Show(const QString &status)
{
    // The status changes with every change of the count, as it names the count. The command
    // follows at once, so that a key pressed next finds it as it should be.
    m_next->setEnabled(m_document && m_document->Marks()->Count() > 0);
    // The panel follows once the edit has been drawn: its text or its showing makes the
    // status bar lay out and repaint all its panels, which would otherwise hold up every
    // keystroke that changes the count, and each of a burst of them.
    m_shown = status;
    m_soon->Ask();
}

void LossPanel::ShowNow()
{
    // The text is changed while the panel is hidden, so that the row is laid out once, as
    // the panel comes or goes, and not again for its text.
    if (m_shown.isEmpty()) {
        setVisible(false);
        setText(m_shown);
    } else {
        setText(m_shown);
        setVisible(true);
    }
}

void LossPanel::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton)
        GoToNext();
    QLabel::mousePressEvent(event);
}

void LossPanel::GoToNext()
{
    if (m_document)
        m_document->GoToNextLoss();
}
