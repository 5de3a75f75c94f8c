#pragma once
// Program-wide pieces of the editor: the error reporter and the reference to the one
// main window that the document windows reach the frame through.

#include "RunTimeError.h"

#include <QString>
#include <QStringList>

#include <optional>

class Modal;

// What a document window needs of the frame.
class MainFrame
{
public:
    virtual ~MainFrame() = default;
    // Text of the status bar's first panel.
    virtual void SetStatusText(const QString &text) = 0;
};

// Set by Main when it creates the frame; cleared only when start-up fails and the frame
// is gone again.
extern MainFrame *MainWindow;

// One information box: the error's description under "Error in: " + source.
void ReportError(const RunTimeError &error, const QString &source, Modal &modal);

// The command line's tokens (see cmdline::Tokenize). A failure is reported with the source
// "Tokenize" and gives no result at all, which the caller must treat as its own failure.
std::optional<QStringList> Tokenize(const QString &line, Modal &modal);
