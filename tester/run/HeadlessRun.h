#pragma once
// probator --run: a sequence file run on one unit without a window and without a display.

#include "RunOptions.h"

// Exit statuses: every command passed, one failed, a wrong command line or a sequence
// that does not parse, and the run stopped by Ctrl+C (128 + SIGINT, as shells report it).
enum RunStatus : int { AllPassed = 0, OneFailed = 1, CannotRun = 2, Interrupted = 130 };

// Runs under a QCoreApplication that already exists.
int RunWithoutWindow(const tester::RunOptions &options);
