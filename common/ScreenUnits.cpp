#include "ScreenUnits.h"

#include "Twips.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

namespace screenunits {
namespace {

const QScreen *ScreenOf(const QWidget *widget)
{
    if (widget && widget->screen())
        return widget->screen();
    return QGuiApplication::primaryScreen();
}

// 96 is the logical DPI of a plain desktop; used only if no screen exists at all.
double DpiX(const QWidget *widget)
{
    const QScreen *screen = ScreenOf(widget);
    return screen ? screen->logicalDotsPerInchX() : 96.0;
}

double DpiY(const QWidget *widget)
{
    const QScreen *screen = ScreenOf(widget);
    return screen ? screen->logicalDotsPerInchY() : 96.0;
}

} // namespace

int TwipsToPixelsX(double value, const QWidget *widget)
{
    return twips::ToPixels(value, DpiX(widget));
}

int TwipsToPixelsY(double value, const QWidget *widget)
{
    return twips::ToPixels(value, DpiY(widget));
}

double PixelsToTwipsX(int pixels, const QWidget *widget)
{
    return twips::FromPixels(pixels, DpiX(widget));
}

double PixelsToTwipsY(int pixels, const QWidget *widget)
{
    return twips::FromPixels(pixels, DpiY(widget));
}

QRect TwipsToPixels(double left, double top, double width, double height, const QWidget *widget)
{
    return QRect(TwipsToPixelsX(left, widget), TwipsToPixelsY(top, widget),
                 TwipsToPixelsX(width, widget), TwipsToPixelsY(height, widget));
}

} // namespace screenunits
