#pragma once
// A window as a screen reader receives it, through Qt's accessibility interfaces.

#include <QAccessible>
#include <QString>

class QObject;
class QWidget;

namespace accessible {

struct Node
{
    QAccessible::Role role = QAccessible::NoRole;
    QString name;
    QString description;
};

// `object` as its interface gives it (role NoRole when it has none).
Node Read(QObject &object);

// The visible controls from `window` down that a person acts on (edits, buttons, lists,
// bars) and that have no name, one "role description" line each; empty when none.
QString Unnamed(QWidget &window);

} // namespace accessible
