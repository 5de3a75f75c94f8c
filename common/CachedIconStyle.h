#pragma once

#include <QHash>
#include <QIcon>
#include <QProxyStyle>

// The application's style with the pictures of a document window's title bar kept once
// made. QMdiSubWindow asks the style for its menu's four button icons as each window is
// built, and the style reads them from their image files every time: for hundreds of files
// opened at once that reading was a large part of each window's cost. Everything else is
// the base style's, unchanged.
class CachedIconStyle : public QProxyStyle
{
    Q_OBJECT

public:
    // Wraps `base` (owned from then on); nullptr wraps the application's default style.
    explicit CachedIconStyle(QStyle *base = nullptr);

    QIcon standardIcon(StandardPixmap standardIcon, const QStyleOption *option = nullptr,
                       const QWidget *widget = nullptr) const override;
    void polish(QApplication *application) override;

private:
    mutable QHash<int, QIcon> m_icons;
};
