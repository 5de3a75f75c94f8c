#include "CachedIconStyle.h"
#include "Startup.h"

#include <QApplication>

namespace {

// The title bar's pictures: the same built-in images whatever the option, widget or
// palette. Pictures that follow the icon theme or the widget (files, folders, dialogs) are
// left to the base style every time.
bool IsTitleBarIcon(QStyle::StandardPixmap icon)
{
    switch (icon) {
    case QStyle::SP_TitleBarMenuButton:
    case QStyle::SP_TitleBarMinButton:
    case QStyle::SP_TitleBarMaxButton:
    case QStyle::SP_TitleBarCloseButton:
    case QStyle::SP_TitleBarNormalButton:
        return true;
    default:
        return false;
    }
}

} // namespace

CachedIconStyle::CachedIconStyle(QStyle *base) : QProxyStyle(base) {}

QIcon CachedIconStyle::standardIcon(StandardPixmap standardIcon, const QStyleOption *option,
                                    const QWidget *widget) const
{
    if (!IsTitleBarIcon(standardIcon))
        return QProxyStyle::standardIcon(standardIcon, option, widget);
    const auto found = m_icons.constFind(standardIcon);
    if (found != m_icons.constEnd())
        return *found;
    const QIcon icon = QProxyStyle::standardIcon(standardIcon, option, widget);
    m_icons.insert(standardIcon, icon);
    return icon;
}

void CachedIconStyle::polish(QApplication *application)
{
    // Polished again when the desktop's look changes: the pictures are made afresh then.
    m_icons.clear();
    QProxyStyle::polish(application);
}

namespace startup {

void InstallCachedIconStyle()
{
    if (qobject_cast<CachedIconStyle *>(QApplication::style()))
        return;
    // The proxy takes the current style over; QApplication then leaves it alone rather than
    // deleting it as the style it replaces.
    QApplication::setStyle(new CachedIconStyle(QApplication::style()));
}

} // namespace startup
