#pragma once
// The tester's log over its LogView. Entries are appended in place, so an entry costs the
// same however long the log has grown, and the log keeps no undo history. Every break a
// device sends shows as a new line and is kept as it came, so Text() gives back exactly
// what was written (CR LF, bare LF or bare CR), and text the user types reads with CR LF
// breaks.

#include <QString>
#include <QStringView>

class LogView;

class MessageLog
{
public:
    // Sets the view up for logging: the log's font and scroll bar.
    explicit MessageLog(LogView &view);

    // Adds `text` after everything in the log, then puts the caret at the end with
    // nothing selected, which scrolls the last line into view.
    void Append(QStringView text);

    QString Text() const;

private:
    LogView &m_view;
};
