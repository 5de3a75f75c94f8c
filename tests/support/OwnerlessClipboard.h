#pragma once
// A clipboard as a person leaves it after copying in another program and closing that
// program: the data's owner is gone, so nothing answers for it.

#include <QString>

namespace ownerless {

// Where the clipboard is shared with other programs (a real X server), starts a copy of
// this test program that puts `text` on the clipboard and on the selection and exits,
// and waits until it has gone. False where the clipboard is this process's own
// (offscreen), so that no other program can own it, or when the child failed.
bool LeaveClipboardOwnerless(const QString &text = QStringLiteral("copied elsewhere"));

// Called first thing by the test main: in the child started above, takes the clipboard,
// exits, and returns the exit status; elsewhere returns -1 and does nothing.
int RunAsClipboardOwner(int argc, char **argv);

} // namespace ownerless
