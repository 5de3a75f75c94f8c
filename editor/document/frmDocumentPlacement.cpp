// The document window's placement: restored from the settings store when a window is
// created, stored when one closes, so each new window opens as the last one was left.
#include "frmDocument.h"

#include "Globals.h"
#include "ScreenUnits.h"
#include "SettingsStore.h"

namespace {

enum WindowState { Normal = 0, Minimized = 1, Maximized = 2 };

int StateOf(const QWidget &window)
{
    if (window.isMinimized())
        return Minimized;
    if (window.isMaximized())
        return Maximized;
    return Normal;
}

} // namespace

void frmDocument::Form_Load()
{
    using namespace settings;
    if (FirstDocument) {
        const float left = ReadNumber(QStringLiteral("ChildLeft"), 500, MinPosition, MaxPosition);
        const float top = ReadNumber(QStringLiteral("ChildTop"), 200, MinPosition, MaxPosition);
        move(screenunits::TwipsToPixelsX(left, this), screenunits::TwipsToPixelsY(top, this));
    }
    const float width = ReadNumber(QStringLiteral("ChildWidth"), 8500, MinExtent, MaxExtent);
    const float height = ReadNumber(QStringLiteral("ChildHeight"), 5500, MinExtent, MaxExtent);
    resize(screenunits::TwipsToPixelsX(width, this), screenunits::TwipsToPixelsY(height, this));

    switch (ReadWindowState(QStringLiteral("ChildState"), Normal)) {
    case Minimized:
        setWindowState(Qt::WindowMinimized);
        break;
    case Maximized:
        setWindowState(Qt::WindowMaximized);
        break;
    default:
        break;
    }
}

void frmDocument::Form_Unload()
{
    using namespace settings;
    // One rewrite of the store for the five keys.
    const WriteBatch batch;
    const int state = StateOf(*this);
    if (state == Normal) {
        WriteNumber(QStringLiteral("ChildLeft"),
                    static_cast<float>(screenunits::PixelsToTwipsX(x(), this)));
        WriteNumber(QStringLiteral("ChildTop"),
                    static_cast<float>(screenunits::PixelsToTwipsY(y(), this)));
        WriteNumber(QStringLiteral("ChildWidth"),
                    static_cast<float>(screenunits::PixelsToTwipsX(width(), this)));
        WriteNumber(QStringLiteral("ChildHeight"),
                    static_cast<float>(screenunits::PixelsToTwipsY(height(), this)));
    }
    if (state != Minimized)
        WriteWindowState(QStringLiteral("ChildState"), state);
    if (MainWindow)
        MainWindow->SetStatusText(QString());
}
