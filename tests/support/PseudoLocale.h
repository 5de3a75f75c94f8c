#pragma once
// The programs in a pseudo-language whose every marked text reads "⟦Ŝåṽé⟧": a text a
// person sees that still has plain English letters outside the brackets was never marked
// for translation.

#include <QList>
#include <QLocale>
#include <QString>
#include <QStringList>

#include <functional>

class QObject;
class QTranslator;
class QWidget;

namespace pseudolocale {

// The folder of `program`'s pseudo catalogue, which the build makes from the template.
QString PseudoFolder(const QString &program);

// While it lives, the application speaks `locale`, with `program`'s catalogues from `folder`
// (its pseudo catalogue unless told), loaded the way the program loads them.
class Speaking
{
public:
    explicit Speaking(const QString &program, const QLocale &locale = QLocale(QLocale::Esperanto),
                      const QString &folder = {});
    ~Speaking();
    Speaking(const Speaking &) = delete;
    Speaking &operator=(const Speaking &) = delete;

private:
    QList<QTranslator *> m_before;
};

// `text` with its marked parts taken out still holds a word of plain letters.
bool IsPlain(const QString &text);

// What may show unmarked: data rather than the program's words (a file name, a date, a
// device's own command names). Given the object that shows it and the text.
using Exempt = std::function<bool(const QObject &, const QString &)>;

// Every unmarked text `root` and the widgets and actions under it show a person (titles,
// captions, labels, tool and status tips, placeholders, accessible names and descriptions,
// tabs and list items), each as "objectName: text". Qt's own parts (a message box's standard
// buttons, a subwindow's system menu) are Qt's catalogue's business and are left out.
QStringList PlainTexts(QWidget &root, const Exempt &exempt = {});

} // namespace pseudolocale
