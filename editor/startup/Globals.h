#pragma once
// Program-wide pieces of the editor: the error reporter and the reference to the one
// main window that the document windows reach the frame through.

#include "RunTimeError.h"

#include <QString>

class Modal;

// What a document window needs of the frame.
class MainFrame
{
public:
    virtual ~MainFrame() = default;
    // Text of the status bar's first panel.
    virtual void SetStatusText(const QString &text) = 0;
};

// Set by Main when it creates the frame; nothing clears it.
extern MainFrame *MainWindow;

// One information box: the error's description under "Error in: " + source.
void ReportError(const RunTimeError &error, const QString &source, Modal &modal);
