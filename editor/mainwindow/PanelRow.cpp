#include "PanelRow.h"

#include <QHBoxLayout>
#include <QResizeEvent>

PanelRow::PanelRow(QWidget *parent)
    : QWidget(parent), m_row(new QWidget(this)), m_layout(new QHBoxLayout(m_row))
{
    setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    m_layout->setContentsMargins(QMargins());
    // The gap the bar leaves between its own panels.
    m_layout->setSpacing(6);
}

void PanelRow::Add(QWidget *panel, int stretch)
{
    m_layout->addWidget(panel, stretch);
    m_row->setGeometry(rect());
}

QSize PanelRow::sizeHint() const
{
    const QSize hint = m_row->sizeHint();
    m_height = hint.height();
    return hint;
}

bool PanelRow::event(QEvent *event)
{
    // The row asks for room again when its panels change; only a new height (another
    // font, another style) is the bar's business.
    if (event->type() == QEvent::LayoutRequest && m_row->sizeHint().height() != m_height)
        updateGeometry();
    return QWidget::event(event);
}

QSize PanelRow::minimumSizeHint() const
{
    return {0, m_row->minimumSizeHint().height()};
}

void PanelRow::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    m_row->setGeometry(rect());
}
