#include "ScreenUnits.h"

#include "Twips.h"

#include <QEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

#include <algorithm>

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

// Takes the frame off a window's size once the window manager has framed it.
class FrameFit : public QObject
{
public:
    explicit FrameFit(QWidget *window) : QObject(window) { window->installEventFilter(this); }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        switch (event->type()) {
        case QEvent::Show:
        case QEvent::Move:
        case QEvent::Resize:
        case QEvent::WindowStateChange:
            break;
        default:
            return false;
        }
        auto *window = static_cast<QWidget *>(watched);
        const QRect outer = window->frameGeometry();
        const QSize border = outer.size() - window->geometry().size();
        if (border.isNull() || !window->isVisible())
            return false;
        if (window->windowState() == Qt::WindowNoState) {
            const QRect fitted = FitOnScreen(outer, window);
            if (fitted != outer) {
                window->resize(fitted.size() - border);
                window->move(fitted.topLeft());
            }
        }
        window->removeEventFilter(this);
        deleteLater();
        return false;
    }
};

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

QRect AvailableArea(const QRect &outer, const QWidget *widget)
{
    const QScreen *best = nullptr;
    qint64 bestOverlap = 0;
    for (const QScreen *screen : QGuiApplication::screens()) {
        const QRect overlap = outer & screen->geometry();
        const qint64 area = qint64{overlap.width()} * overlap.height();
        if (!overlap.isEmpty() && area > bestOverlap) {
            best = screen;
            bestOverlap = area;
        }
    }
    if (!best)
        best = ScreenOf(widget);
    return best ? best->availableGeometry() : outer;
}

QRect FitOnScreen(const QRect &outer, const QWidget *widget)
{
    const QRect area = AvailableArea(outer, widget);
    QRect fitted = outer;
    if (fitted.width() > area.width()) {
        fitted.setLeft(area.left());
        fitted.setWidth(std::max(area.width(), 0));
    }
    if (fitted.height() > area.height()) {
        fitted.setTop(area.top());
        fitted.setHeight(std::max(area.height(), 0));
    }
    return fitted;
}

void ResizeWithinScreen(QWidget *window, QSize size)
{
    window->resize(FitOnScreen(QRect(window->pos(), size), window).size());
    new FrameFit(window);
}

} // namespace screenunits
