#include "CaretPanel.h"

#include "AfterRepaint.h"

#include <QEvent>
#include <QFontMetrics>

#include <algorithm>

CaretPanel::CaretPanel(QWidget *parent)
    : QLabel(parent), m_soon(new AfterRepaint(
                          [this] {
                              if (m_source)
                                  Show(m_source());
                          },
                          this))
{}

void CaretPanel::ShowSoon()
{
    m_soon->Ask();
}

void CaretPanel::Show(const QString &text)
{
    if (text == this->text())
        return;
    setText(text);
    if (text.size() <= m_measured)
        return;
    m_measured = text.size();
    const QFontMetrics metrics = fontMetrics();
    const QMargins margins = contentsMargins();
    // A character to spare: digits need not all be as wide as those measured.
    const int width = metrics.horizontalAdvance(text) + metrics.averageCharWidth() +
                      margins.left() + margins.right() + 2 * margin();
    const int height = metrics.height() + margins.top() + margins.bottom() + 2 * margin();
    if (width > maximumWidth() || height != maximumHeight())
        setFixedSize(std::max(width, minimumWidth()), height);
}

void CaretPanel::changeEvent(QEvent *event)
{
    QLabel::changeEvent(event);
    if (event->type() != QEvent::FontChange && event->type() != QEvent::StyleChange)
        return;
    // Measured afresh in the new font, from nothing.
    m_measured = -1;
    setMinimumSize(0, 0);
    setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    const QString shown = text();
    clear();
    Show(shown);
}
