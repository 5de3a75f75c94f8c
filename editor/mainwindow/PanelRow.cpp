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
    return m_row->sizeHint();
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
