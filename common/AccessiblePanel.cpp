#include "AccessiblePanel.h"

#include <QAccessibleWidget>
#include <QCoreApplication>
#include <QLabel>
#include <QVariant>

namespace {

constexpr char CaptionProperty[] = "accessiblePanelCaption";

// A QLabel tells readers of every change of its text (while it has no accessible name of
// its own), but names itself by the text alone; this interface puts the caption first.
class CaptionedPanel : public QAccessibleWidget
{
public:
    explicit CaptionedPanel(QLabel *panel) : QAccessibleWidget(panel, QAccessible::StaticText) {}

    QString text(QAccessible::Text t) const override
    {
        if (t != QAccessible::Name)
            return QAccessibleWidget::text(t);
        const auto *panel = static_cast<const QLabel *>(widget());
        const QString caption = panel->property(CaptionProperty).toString();
        const QString shown = panel->text().simplified();
        if (shown.isEmpty())
            return caption;
        return QCoreApplication::translate("accessiblepanel", "%1: %2").arg(caption, shown);
    }
};

QAccessibleInterface *CaptionedPanels(const QString &className, QObject *object)
{
    Q_UNUSED(className);
    auto *panel = qobject_cast<QLabel *>(object);
    if (!panel || !panel->property(CaptionProperty).isValid())
        return nullptr;
    return new CaptionedPanel(panel);
}

} // namespace

namespace accessiblepanel {

void SetCaption(QLabel &panel, const QString &caption)
{
    static const bool installed = [] {
        QAccessible::installFactory(CaptionedPanels);
        return true;
    }();
    Q_UNUSED(installed);
    panel.setProperty(CaptionProperty, caption);
    // An interface made before the caption was set (while a reader was already listening)
    // would be kept and asked instead; the next one asked for is made with the caption.
    if (QAccessibleInterface *made = QAccessible::queryAccessibleInterface(&panel);
        made && !dynamic_cast<CaptionedPanel *>(made))
        QAccessible::deleteAccessibleInterface(QAccessible::uniqueId(made));
}

} // namespace accessiblepanel
