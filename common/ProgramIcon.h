#pragma once

#include <QIcon>
#include <QString>

class QWidget;

// Gives `window` its program's icon: the icon the program installs for the desktop, at
// every size it is installed at, from the program's resources under `folder`
// (":/quillon/icons/program"), so that title bars, task bars and switchers at any scale
// show the same picture as the menu entry rather than a small one enlarged. The sizes
// that title bars and task bars use come at once; the large ones (for switchers and
// docks, over 300 KB to read and hand to the display) once the window is on the screen,
// so that they do not hold up its first appearance.
void SetProgramIcon(QWidget *window, const QString &folder);

// An icon of the PNG pictures `paths` (one for each size). Read as PNG only: an icon
// read through QIcon::addFile has every image-format plugin loaded to ask whether it
// knows the file better, which costs a start-up some milliseconds for pictures that are
// ours and known to be PNG.
QIcon PngIcon(const QStringList &paths);

// Whether the desktop names an icon theme of its own. Without one only "hicolor" is left,
// which holds programs' icons but no pictures for commands, and reading its index costs
// a start-up some milliseconds for nothing.
bool HasIconTheme();
