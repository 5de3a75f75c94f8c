#pragma once
// The pictures of the overflow buttons that menu bars and toolbars make for items that do
// not fit. Every menu bar and toolbar asks its style for them as it is made, and the
// style reads them from image files through the image reader, which loads each of Qt's
// image-format plugins to ask whether it knows the files better: on a start, all that
// is most of what the first menu bar costs, for a button that is shown only in a window
// too narrow for its menus or tools.

class QStyle;

namespace startup {

// `base` (which it takes) as a style that gives the overflow buttons pictures read when
// they are first drawn or measured, the same pictures `base` gives, and leaves all else
// to `base`.
QStyle *DeferOverflowIcons(QStyle *base);

// Makes the application's style such a style where it is one of Qt's own (Fusion or
// Windows). Called after the application object and before the first window.
void DeferOverflowIconsOfApplication();

} // namespace startup
