#include "AfterRepaint.h"

#include <QCoreApplication>
#include <QEvent>

namespace {

const auto RunEvent = static_cast<QEvent::Type>(QEvent::registerEventType());

} // namespace

AfterRepaint::AfterRepaint(std::function<void()> step, QObject *parent)
    : QObject(parent), m_step(std::move(step))
{}

void AfterRepaint::Ask()
{
    m_due = true;
    if (m_posted)
        return;
    m_posted = true;
    QCoreApplication::postEvent(this, new QEvent(RunEvent), Qt::LowEventPriority - 1);
}

void AfterRepaint::customEvent(QEvent *event)
{
    if (event->type() != RunEvent)
        return;
    m_posted = false;
    if (m_due) {
        m_due = false;
        m_step();
    }
}
