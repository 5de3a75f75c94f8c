#pragma once

#include <QStringList>

class Modal;

// The editor's start-up: splits the command line, obeys the switches, opens each named
// existing file and shows the frame. False when no window was shown (a help switch, or
// a failure that was reported), in which case the program should end.
bool Main(const QStringList &arguments, Modal &modal);
