#include "AccessibleTree.h"

#include <QAccessibleInterface>
#include <QMetaEnum>
#include <QWidget>

namespace accessible {

namespace {

void Walk(QAccessibleInterface &iface, QString &unnamed)
{
    static const QList<QAccessible::Role> actedOn = {
        QAccessible::EditableText, QAccessible::PushButton, QAccessible::CheckBox,
        QAccessible::RadioButton,  QAccessible::ComboBox,   QAccessible::List,
        QAccessible::SpinBox,      QAccessible::Slider,     QAccessible::ProgressBar,
        QAccessible::PageTabList,  QAccessible::ToolBar,    QAccessible::StatusBar};
    if (iface.state().invisible)
        return;
    if (actedOn.contains(iface.role()) && iface.text(QAccessible::Name).trimmed().isEmpty())
        unnamed +=
            QString::fromLatin1(QMetaEnum::fromType<QAccessible::Role>().valueToKey(iface.role())) +
            QLatin1Char(' ') + iface.text(QAccessible::Description) + QLatin1Char('\n');
    for (int i = 0; i < iface.childCount(); ++i) {
        if (QAccessibleInterface *child = iface.child(i))
            Walk(*child, unnamed);
    }
}

} // namespace

Node Read(QObject &object)
{
    QAccessibleInterface *iface = QAccessible::queryAccessibleInterface(&object);
    if (!iface)
        return {};
    return {iface->role(), iface->text(QAccessible::Name), iface->text(QAccessible::Description)};
}

QString Unnamed(QWidget &window)
{
    QString unnamed;
    if (QAccessibleInterface *root = QAccessible::queryAccessibleInterface(&window))
        Walk(*root, unnamed);
    return unnamed;
}

} // namespace accessible
