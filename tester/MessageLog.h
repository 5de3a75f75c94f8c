#pragma once
// The tester's log over a QPlainTextEdit. Entries are appended in place, so an entry
// costs the same however long the log has grown, and the log keeps no undo history.
// The widget turns every line break into a paragraph; each paragraph remembers which
// break opened it, so Text() gives back exactly what was written (CR LF, bare LF or bare
// CR), and text the user types reads with CR LF breaks.

#include <QString>
#include <QStringView>

class QPlainTextEdit;

class MessageLog
{
public:
    // Sets the view up for logging: no undo, no size limit, the log's font and scroll bar.
    explicit MessageLog(QPlainTextEdit &view);

    // Adds `text` after everything in the log, then puts the caret at the end with
    // nothing selected, which scrolls the last line into view.
    void Append(QStringView text);

    QString Text() const;

private:
    QPlainTextEdit &m_view;
};
