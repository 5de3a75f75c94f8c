#include "StatusPanel.h"

#include <QEvent>
#include <QFontMetrics>

#include <algorithm>

StatusPanel::StatusPanel(const QString &text, QWidget *parent) : QLabel(parent)
{
    setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    SetMessage(text);
}

void StatusPanel::SetMessage(const QString &message)
{
    // Every document closing with the frame clears the message: eliding it and telling
    // the readers again each time would cost the same for nothing.
    if (message == m_message && !accessibleName().isEmpty())
        return;
    m_message = message;
    m_fitsFrom = -1;
    // The whole message, not what is left of it after eliding; and a name while empty.
    setAccessibleName(message.isEmpty() ? tr("Status") : message.simplified());
    Elide();
}

// No wider than a few characters whatever the message: the panel takes the width the bar
// gives it, never more.
QSize StatusPanel::minimumSizeHint() const
{
    return {0, QLabel::minimumSizeHint().height()};
}

QSize StatusPanel::sizeHint() const
{
    return {fontMetrics().averageCharWidth() * 10, QLabel::sizeHint().height()};
}

void StatusPanel::changeEvent(QEvent *event)
{
    QLabel::changeEvent(event);
    // Measured afresh in the new font.
    if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange)
        m_fitsFrom = -1;
}

void StatusPanel::resizeEvent(QResizeEvent *event)
{
    QLabel::resizeEvent(event);
    Elide();
}

void StatusPanel::showEvent(QShowEvent *event)
{
    QLabel::showEvent(event);
    Elide();
}

void StatusPanel::Elide()
{
    // One line: a line break in a message (a searched pattern may hold one) would make
    // the bar taller.
    QString line = m_message;
    line.replace(QLatin1Char('\n'), QLatin1Char(' ')).replace(QLatin1Char('\r'), QLatin1Char(' '));
    // Until the bar has laid the panel out its width means nothing; it is elided then.
    QString shown = line;
    if (testAttribute(Qt::WA_WState_Visible)) {
        const int width = std::max(0, contentsRect().width());
        if (m_fitsFrom < 0 || width < m_fitsFrom) {
            shown = fontMetrics().elidedText(line, Qt::ElideRight, width);
            if (shown == line)
                m_fitsFrom = width;
        }
    }
    const QString tip = shown == line ? QString() : m_message;
    if (tip != toolTip())
        setToolTip(tip);
    setText(shown);
}
