#pragma once
// A status panel as a screen reader hears it: its caption, then what it shows ("Status:
// Success!!!"), so that a panel that shows nothing for a while still says what it is, and
// one that changes is announced with the caption that gives its text a meaning.

class QLabel;
class QString;

namespace accessiblepanel {

// From now on `panel` reads as `caption`, followed by its text when it has one. The name
// follows every change of the text (and readers hear of each change), with no call at the
// places that set the text.
void SetCaption(QLabel &panel, const QString &caption);

} // namespace accessiblepanel
