#pragma once

#include "SingleInstance.h"

#include <QStringList>

class Modal;

// How the editor's start-up ended.
enum class StartupResult {
    Shown,  // the frame is up: the program runs until it closes
    Ended,  // a help switch, or files handed to the running editor: the program ends at
            // once, with success
    Failed, // a failure, already reported to the user: the program ends with failure
};

// The editor's start-up: splits the command line, obeys the switches, opens each named
// existing file and shows the frame. When this user's editor already runs, the named
// files are handed to it instead, and start-up ends; when that editor does not answer
// within `answerWaitMs`, nothing opens here and the user is told.
StartupResult Main(const QStringList &arguments, Modal &modal,
                   int answerWaitMs = singleinstance::AnswerWaitMs);

// The exit status of a program whose start-up ended without a window: scripts that start
// the editor can tell a failure from a help switch.
int ExitStatus(StartupResult result);
