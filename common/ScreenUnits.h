#pragma once
// The one place where twips meet the screen: conversions at the logical DPI of the
// screen a widget is on (the primary screen when it has none yet).

#include <QRect>
#include <QSize>

class QWidget;

namespace screenunits {

int TwipsToPixelsX(double twips, const QWidget *widget = nullptr);
int TwipsToPixelsY(double twips, const QWidget *widget = nullptr);
double PixelsToTwipsX(int pixels, const QWidget *widget = nullptr);
double PixelsToTwipsY(int pixels, const QWidget *widget = nullptr);

// left, top, width, height in twips to a pixel rectangle.
QRect TwipsToPixels(double left, double top, double width, double height,
                    const QWidget *widget = nullptr);

// The part of a screen a window may take (the screen less the desktop's panels and docks),
// of the screen that holds most of `outer`; of the widget's own screen (else the primary
// one) when `outer` lies on none.
QRect AvailableArea(const QRect &outer, const QWidget *widget = nullptr);

// `outer` (frame included) made no larger than that area, and moved onto it along each
// side it had to be shrunk on. A window that fits is returned as it is.
QRect FitOnScreen(const QRect &outer, const QWidget *widget = nullptr);

// Sizes a top-level window that is not yet shown to the client size `size`, or less
// where the screen is smaller, so that no edge, bar or button opens out of reach at any
// scale. The window manager's frame is known only once the window has been framed; it is
// taken off then, once.
void ResizeWithinScreen(QWidget *window, QSize size);

} // namespace screenunits
