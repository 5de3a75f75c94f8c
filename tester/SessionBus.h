#pragma once
// The session bus, reached early.

// Connects to the session bus; begun on a thread of its own (startup::EarlyWork) right
// after the application object. Qt's accessibility bridge asks the bus whether a screen
// reader's bus is there as soon as the first element of the window reports a change, long
// before the window is on the screen, and the window's thread waits for the answer: to
// connect, and where no bus is named, to look for one to start. Begun early, that wait
// overlaps with installing the translations, reading the window icon and loading the
// fonts; Qt shares the one session connection, so the bridge then finds it made or being
// made.
void ConnectSessionBus();
