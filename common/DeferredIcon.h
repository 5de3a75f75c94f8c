#pragma once

#include <QIcon>

#include <functional>

// An icon whose pictures are made by `make` only when the icon is first drawn or asked
// for its sizes, not when it is set. A toolbar's buttons are laid out by their icon size
// alone, so their pictures (read from image files, several sizes each) are made as the
// window first paints rather than before it can be shown. Copies share what was made.
// Taken as never null until made: `make` must give an icon with pictures.
QIcon DeferredIcon(std::function<QIcon()> make);
