#pragma once

#include <QLabel>
#include <QTimer>

// A status-bar panel showing the current date or time in the user's short regional form.
// It keeps itself current: its timer is set for the moment the shown text next changes.
class ClockPanel : public QLabel
{
    Q_OBJECT

public:
    enum class Shows { Date, Time };

    ClockPanel(Shows shows, QWidget *parent = nullptr);

    // The text the panel shows at `moment`.
    QString TextAt(const QDateTime &moment) const;

private:
    void Tick();

    Shows m_shows;
    QTimer m_timer;
};
