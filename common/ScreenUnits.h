#pragma once
// The one place where twips meet the screen: conversions at the logical DPI of the
// screen a widget is on (the primary screen when it has none yet).

#include <QRect>

class QWidget;

namespace screenunits {

int TwipsToPixelsX(double twips, const QWidget *widget = nullptr);
int TwipsToPixelsY(double twips, const QWidget *widget = nullptr);
double PixelsToTwipsX(int pixels, const QWidget *widget = nullptr);
double PixelsToTwipsY(int pixels, const QWidget *widget = nullptr);

// left, top, width, height in twips to a pixel rectangle.
QRect TwipsToPixels(double left, double top, double width, double height,
                    const QWidget *widget = nullptr);

} // namespace screenunits
