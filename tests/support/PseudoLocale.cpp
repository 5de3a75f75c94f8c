#include "PseudoLocale.h"

#include "Translations.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QMenu>
#include <QRegularExpression>
#include <QTabBar>
#include <QTranslator>

namespace pseudolocale {

QString PseudoFolder(const QString &program)
{
    return QStringLiteral(TORVANE_PSEUDO_DIR "/%1").arg(program);
}

Speaking::Speaking(const QString &program, const QLocale &locale, const QString &folder)
{
    auto *app = QCoreApplication::instance();
    m_before = app->findChildren<QTranslator *>(Qt::FindDirectChildrenOnly);
    for (QTranslator *translator : std::as_const(m_before))
        QCoreApplication::removeTranslator(translator);
    startup::InstallTranslations(program, locale,
                                 folder.isEmpty() ? PseudoFolder(program) : folder);
}

Speaking::~Speaking()
{
    auto *app = QCoreApplication::instance();
    for (QTranslator *translator : app->findChildren<QTranslator *>(Qt::FindDirectChildrenOnly)) {
        if (m_before.contains(translator))
            continue;
        QCoreApplication::removeTranslator(translator);
        delete translator;
    }
    for (QTranslator *translator : std::as_const(m_before))
        QCoreApplication::installTranslator(translator);
}

bool IsPlain(const QString &text)
{
    // Innermost first: a marked text may hold another (a unit's name in a message). File
    // patterns (*.cfg) are the same in every language.
    static const QRegularExpression marked(QStringLiteral("⟦[^⟦⟧]*⟧|\\*\\.\\w+"));
    static const QRegularExpression word(QStringLiteral("[A-Za-z]{2,}"));
    // A menu item's key after its tab is named in Qt's own words ("Ctrl+X").
    QString rest = text.section(QLatin1Char('\t'), 0, 0);
    for (qsizetype before = -1; before != rest.size();) {
        before = rest.size();
        rest.remove(marked);
    }
    return rest.contains(word);
}

namespace {

bool QtsOwn(const QWidget &widget)
{
    for (const QObject *o = &widget; o; o = o->parent()) {
        if (o->objectName().startsWith(QLatin1String("qt_")))
            return true;
    }
    if (const auto *sub = qobject_cast<const QMdiSubWindow *>(widget.parent()))
        return sub->systemMenu() == &widget;
    if (const auto *button = qobject_cast<const QAbstractButton *>(&widget)) {
        const auto *box = qobject_cast<const QDialogButtonBox *>(button->parent());
        return box && box->standardButton(const_cast<QAbstractButton *>(button)) !=
                          QDialogButtonBox::NoButton;
    }
    return false;
}

} // namespace

QStringList PlainTexts(QWidget &root, const Exempt &exempt)
{
    QStringList plain;
    const auto check = [&plain, &exempt](const QObject &owner, const QString &text) {
        if (IsPlain(text) && !(exempt && exempt(owner, text)))
            plain << owner.objectName() + QStringLiteral(": ") + text;
    };
    QList<QWidget *> widgets = root.findChildren<QWidget *>();
    widgets.prepend(&root);
    // A subwindow lists its system menu's items as its own actions too.
    QList<QAction *> qtActions;
    for (const QMdiSubWindow *sub : root.findChildren<QMdiSubWindow *>()) {
        if (sub->systemMenu())
            qtActions << sub->systemMenu()->actions();
    }
    for (QWidget *widget : std::as_const(widgets)) {
        if (QtsOwn(*widget))
            continue;
        if (widget->isWindow())
            check(*widget, widget->windowTitle());
        check(*widget, widget->toolTip());
        check(*widget, widget->statusTip());
        check(*widget, widget->whatsThis());
        check(*widget, widget->accessibleName());
        check(*widget, widget->accessibleDescription());
        if (const auto *button = qobject_cast<QAbstractButton *>(widget))
            check(*widget, button->text());
        if (const auto *label = qobject_cast<QLabel *>(widget))
            check(*widget, label->text());
        if (const auto *group = qobject_cast<QGroupBox *>(widget))
            check(*widget, group->title());
        if (const auto *line = qobject_cast<QLineEdit *>(widget))
            check(*widget, line->placeholderText());
        if (const auto *menu = qobject_cast<QMenu *>(widget))
            check(*widget, menu->title());
        if (const auto *tabs = qobject_cast<QTabBar *>(widget)) {
            for (int i = 0; i < tabs->count(); ++i)
                check(*widget, tabs->tabText(i));
        }
        if (const auto *list = qobject_cast<QComboBox *>(widget)) {
            for (int i = 0; i < list->count(); ++i)
                check(*widget, list->itemText(i));
        }
        for (QAction *action : widget->actions()) {
            if (qtActions.contains(action))
                continue;
            check(*action, action->text());
            check(*action, action->toolTip());
            check(*action, action->statusTip());
            check(*action, action->whatsThis());
        }
    }
    plain.removeDuplicates();
    return plain;
}

} // namespace pseudolocale
