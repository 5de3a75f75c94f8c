#include "ClockPanel.h"

#include "FrameLayout.h"

#include <QDateTime>
#include <QLocale>

namespace {

// A little past the change, so that the text read then is already the new one.
constexpr int Slack = 20;

} // namespace

ClockPanel::ClockPanel(Shows shows, QWidget *parent) : QLabel(parent), m_shows(shows)
{
    setAccessibleDescription(shows == Shows::Date ? tr("Today's date") : tr("The time"));
    m_timer.setSingleShot(true);
    m_timer.setTimerType(Qt::PreciseTimer);
    connect(&m_timer, &QTimer::timeout, this, &ClockPanel::Tick);
    Tick();
}

QString ClockPanel::TextAt(const QDateTime &moment) const
{
    const QLocale locale;
    return m_shows == Shows::Date ? locale.toString(moment.date(), QLocale::ShortFormat)
                                  : locale.toString(moment.time(), QLocale::ShortFormat);
}

void ClockPanel::Tick()
{
    const QDateTime now = QDateTime::currentDateTime();
    setText(TextAt(now));
    // The date panel follows the minute too, so a clock set back or forward is caught up
    // within a minute.
    const bool showsSeconds = m_shows == Shows::Time &&
                              QLocale().timeFormat(QLocale::ShortFormat).contains(QLatin1Char('s'));
    m_timer.start(
        framelayout::MsecsToNextClockChange(now.time().msecsSinceStartOfDay(), showsSeconds) +
        Slack);
}
