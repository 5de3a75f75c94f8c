#pragma once
// Input and reading the way a person goes: keys go to the window that has the keyboard
// and from there, through the platform's input path, to whatever widget has the focus
// (shortcuts included); menus and labels are read as they are drawn, not from the raw
// properties of the widgets behind them.

#include <QKeyCombination>
#include <QList>
#include <QString>
#include <QStringList>

#include <vector>

class QLabel;
class QMenu;
class QPlainTextEdit;
class QWidget;

namespace asperson {

// Shows `window`, asks for it to be made active and waits until it is, as a person's
// click on it would. False (and a test failure) when it never becomes active.
bool Activate(QWidget &window);

// Presses and releases `key` (with its modifiers) where a person's key would go: an
// open popup menu, else the window that has the keyboard focus. False (and a test
// failure) when no window of this program has the keyboard.
bool Press(QKeyCombination key);

// Types `text` key by key the same way; a line break is the Return key.
bool Type(const QString &text);

// The widgets the focus goes through as Tab is pressed, from the one that has it now until
// it comes back there (listed once) or leaves `window`, at most `limit` presses.
QList<QWidget *> TabRound(QWidget &window, int limit = 40);

// A menu's entries as drawn, top to bottom: an item reads as its caption without the
// mnemonic marker ("Save &As..." reads "Save As..."), a divider reads "---", and a
// divider drawn with a title reads "--- " and its title. Hidden items, and dividers the
// menu folds away (doubled, leading or trailing), are not drawn and not listed.
QStringList ShownMenu(QMenu &menu);

// The same entries with what a person reads beside and on each item: its key after a tab
// ("Find Next\tF3"), and " (greyed)" after an item that cannot be chosen.
QStringList ShownMenuWithKeys(QMenu &menu);

// The menu of `window`'s menu bar whose caption reads `caption` ("Edit" for "&Edit"),
// or nullptr (and a test failure) when none is shown.
QMenu *MenuBarMenu(QWidget &window, const QString &caption);

// A caption as drawn: mnemonic markers removed, "&&" read as "&".
QString WithoutMnemonic(const QString &caption);

// The text a label displays: markup is read the way the label renders it, so "<b>x</b>"
// in a label that interprets rich text displays as "x".
QString DisplayedText(const QLabel &label);

// The box positions of the characters in view whose cell is drawn tinted red (the mark the
// editor puts on characters a save would lose), read from the screen's pixels; a character
// drawn with no width is looked for around its place. `inView`, when given, receives the
// positions of every character drawn in view.
std::vector<int> RedCharacters(QPlainTextEdit &box, std::vector<int> *inView = nullptr);

} // namespace asperson
