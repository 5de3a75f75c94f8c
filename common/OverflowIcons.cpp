#include "OverflowIcons.h"

#include <QApplication>
#include <QIconEngine>
#include <QPainter>
#include <QPointer>
#include <QProxyStyle>
#include <QStyleOption>

#include <optional>

namespace startup {

namespace {

// The style's icon, asked for when first needed. Everything goes through the real icon's
// pixmaps at device pixels, as Qt's own pixmap icons draw themselves.
class DeferredIcon : public QIconEngine
{
public:
    DeferredIcon(const QStyle *style, QStyle::StandardPixmap which, const QStyleOption *option,
                 const QWidget *widget)
        : m_style(style), m_which(which), m_widget(widget)
    {
        if (option)
            m_direction = option->direction;
    }

    void paint(QPainter *painter, const QRect &rect, QIcon::Mode mode, QIcon::State state) override
    {
        const qreal ratio =
            painter->device() ? painter->device()->devicePixelRatio() : qApp->devicePixelRatio();
        painter->drawPixmap(rect, pixmap(rect.size() * ratio, mode, state));
    }

    QPixmap pixmap(const QSize &size, QIcon::Mode mode, QIcon::State state) override
    {
        return Real().pixmap(size, 1.0, mode, state);
    }

    QSize actualSize(const QSize &size, QIcon::Mode mode, QIcon::State state) override
    {
        return pixmap(size, mode, state).size();
    }

    QList<QSize> availableSizes(QIcon::Mode mode, QIcon::State state) override
    {
        return Real().availableSizes(mode, state);
    }

    bool isNull() override { return Real().isNull(); }

    QString key() const override { return QStringLiteral("DeferredIcon"); }

    QIconEngine *clone() const override { return new DeferredIcon(*this); }

private:
    const QIcon &Real()
    {
        if (!m_icon) {
            QStyleOption option;
            if (m_direction)
                option.direction = *m_direction;
            const QStyle *style = m_style ? m_style.data() : QApplication::style();
            m_icon = style->standardIcon(m_which, m_direction ? &option : nullptr, m_widget);
        }
        return *m_icon;
    }

    QPointer<const QStyle> m_style;
    QStyle::StandardPixmap m_which;
    std::optional<Qt::LayoutDirection> m_direction;
    QPointer<const QWidget> m_widget;
    std::optional<QIcon> m_icon;
};

class DeferringStyle : public QProxyStyle
{
public:
    using QProxyStyle::QProxyStyle;

    QIcon standardIcon(StandardPixmap which, const QStyleOption *option,
                       const QWidget *widget) const override
    {
        if (which == SP_ToolBarHorizontalExtensionButton ||
            which == SP_ToolBarVerticalExtensionButton)
            return QIcon(new DeferredIcon(baseStyle(), which, option, widget));
        return QProxyStyle::standardIcon(which, option, widget);
    }
};

} // namespace

QStyle *DeferOverflowIcons(QStyle *base)
{
    return new DeferringStyle(base);
}

void DeferOverflowIconsOfApplication()
{
    // Qt's own styles are made to be wrapped; a desktop's style from a plugin is left as
    // it is, whatever its overflow pictures cost.
    QStyle *style = QApplication::style();
    const QString name = style->name();
    if (name.compare(QLatin1String("fusion"), Qt::CaseInsensitive) != 0 &&
        name.compare(QLatin1String("windows"), Qt::CaseInsensitive) != 0)
        return;
    // The proxy takes the style over from the application, which then keeps the proxy.
    QApplication::setStyle(DeferOverflowIcons(style));
}

} // namespace startup
