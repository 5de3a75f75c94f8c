#pragma once
// A window as a screen reader receives it: the tree of Qt's accessibility interfaces, each
// node with its role, name and description.

#include <QAccessible>
#include <QString>

#include <vector>

class QObject;
class QWidget;

namespace accessible {

struct Node
{
    int depth = 0;
    QAccessible::Role role = QAccessible::NoRole;
    QString name;
    QString description;
    QString objectName; // of the widget behind the node, where there is one
    bool focusable = false;
};

// The role, name and description of `object`'s interface (role NoRole when it has none).
Node Read(QObject &object);

// Every node from `window` down, in the order a reader walks them; invisible nodes are
// left out, as a reader leaves them.
std::vector<Node> Tree(QWidget &window);

// One line per node, indented by depth: role, "name" and, after " - ", the description
// cut to `descriptionLength` characters.
QString Render(const std::vector<Node> &tree, int descriptionLength = 100);

// The nodes a person acts on (edits, buttons, lists, sliders, focusable text) that have
// no name, rendered; empty when every one has a name.
QString Unnamed(const std::vector<Node> &tree);

} // namespace accessible
