#include "AccessibleTree.h"

#include <QAccessibleInterface>
#include <QMetaEnum>
#include <QWidget>

namespace accessible {

namespace {

Node ReadInterface(QAccessibleInterface &iface, int depth)
{
    Node node;
    node.depth = depth;
    node.role = iface.role();
    node.name = iface.text(QAccessible::Name);
    node.description = iface.text(QAccessible::Description);
    if (QObject *object = iface.object())
        node.objectName = object->objectName();
    node.focusable = iface.state().focusable;
    return node;
}

void Walk(QAccessibleInterface &iface, int depth, std::vector<Node> &into)
{
    if (iface.state().invisible)
        return;
    into.push_back(ReadInterface(iface, depth));
    for (int i = 0; i < iface.childCount(); ++i) {
        if (QAccessibleInterface *child = iface.child(i))
            Walk(*child, depth + 1, into);
    }
}

bool ActedOn(const Node &node)
{
    switch (node.role) {
    case QAccessible::EditableText:
    case QAccessible::PushButton:
    case QAccessible::CheckBox:
    case QAccessible::RadioButton:
    case QAccessible::ComboBox:
    case QAccessible::List:
    case QAccessible::SpinBox:
    case QAccessible::Slider:
    case QAccessible::ProgressBar:
    case QAccessible::PageTabList:
    case QAccessible::Document:
        return true;
    default:
        return node.focusable && node.role != QAccessible::Client &&
               node.role != QAccessible::Window && node.role != QAccessible::Dialog;
    }
}

} // namespace

Node Read(QObject &object)
{
    QAccessibleInterface *iface = QAccessible::queryAccessibleInterface(&object);
    return iface ? ReadInterface(*iface, 0) : Node{};
}

std::vector<Node> Tree(QWidget &window)
{
    std::vector<Node> tree;
    if (QAccessibleInterface *root = QAccessible::queryAccessibleInterface(&window))
        Walk(*root, 0, tree);
    return tree;
}

QString Render(const std::vector<Node> &tree, int descriptionLength)
{
    const QMetaEnum roles = QMetaEnum::fromType<QAccessible::Role>();
    QString text;
    for (const Node &node : tree) {
        text += QString(node.depth * 2, QLatin1Char(' '));
        text += QString::fromLatin1(roles.valueToKey(node.role));
        text += QStringLiteral(" \"") + node.name + QLatin1Char('"');
        if (!node.description.isEmpty()) {
            QString description = node.description;
            description.replace(QLatin1Char('\n'), QLatin1Char(' '));
            if (description.size() > descriptionLength)
                description = description.left(descriptionLength) + QStringLiteral("...");
            text += QStringLiteral(" - ") + description;
        }
        text += QLatin1Char('\n');
    }
    return text;
}

QString Unnamed(const std::vector<Node> &tree)
{
    std::vector<Node> unnamed;
    for (const Node &node : tree) {
        if (ActedOn(node) && node.name.trimmed().isEmpty())
            unnamed.push_back(node);
    }
    QString text = Render(unnamed);
    for (const Node &node : unnamed)
        text += QStringLiteral("(") + node.objectName + QStringLiteral(") ");
    return text.trimmed();
}

} // namespace accessible
