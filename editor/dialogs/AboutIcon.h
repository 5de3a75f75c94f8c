#pragma once

#include <QPixmap>

// The About dialog's 32-by-32 picture: a quill over a sheet of paper, drawn in colours of
// the classic 16-colour palette only.
QPixmap AboutIcon();
