#include "frmProperties.h"

#include "Encryption.h"
#include "Survival.h"
#include "TextFacts.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDialogButtonBox>
#include <QFileInfo>
#include <QFormLayout>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

// A config file holds at most this many characters (two bytes each).
constexpr qsizetype MaxCharacters = 32766;

QString Character(char16_t unit)
{
    const QString code = QStringLiteral("U+%1").arg(int(unit), 4, 16, QLatin1Char('0')).toUpper();
    // Control characters and lone surrogates have no face of their own.
    const QChar c(unit);
    if (c.isPrint() && !c.isSurrogate())
        return QStringLiteral("%1 %2").arg(QString(c), code);
    return code;
}

// The kinds of break keep the names the file format gives them; the words around them are
// translated here, as the plain layer that counts them has no catalogue.
QString BreakStyleText(const doctext::BreakCounts &breaks)
{
    QString style = QString::fromStdString(doctext::BreakStyle(breaks));
    if (style == QLatin1String("none"))
        return QCoreApplication::translate("frmProperties", "none");
    style.replace(QLatin1String("other"), QCoreApplication::translate("frmProperties", "other"));
    const QLatin1String mixed("mixed (");
    if (style.startsWith(mixed) && style.endsWith(QLatin1Char(')')))
        style = QCoreApplication::translate("frmProperties", "mixed (%1)")
                    .arg(style.mid(mixed.size(), style.size() - mixed.size() - 1));
    return style;
}

QString Losses(const std::u16string &text)
{
    const std::vector<std::size_t> lost = LostUnits(text, DocumentKey);
    if (lost.empty())
        return QCoreApplication::translate("frmProperties", "none");
    const std::vector<std::size_t> listed(
        lost.begin(), lost.begin() + static_cast<std::ptrdiff_t>(
                                         std::min(lost.size(), frmProperties::ListedLosses)));
    const std::vector<doctext::Place> places = doctext::PlacesOf(text, listed);
    QStringList where;
    for (std::size_t i = 0; i < listed.size(); ++i)
        where << QCoreApplication::translate("frmProperties", "line %1, column %2: %3")
                     .arg(places[i].line)
                     .arg(places[i].column)
                     .arg(Character(text[listed[i]]));
    const auto count = static_cast<int>(lost.size());
    QString value = QCoreApplication::translate("frmProperties", "%n character(s)", nullptr, count);
    value += QStringLiteral("\n") + where.join(QLatin1Char('\n'));
    if (lost.size() > listed.size())
        value += QLatin1Char('\n') + QCoreApplication::translate("frmProperties", "and %1 more")
                                         .arg(lost.size() - listed.size());
    return value;
}

} // namespace

frmProperties::frmProperties(const QString &fileName, const QString &text, QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("frmProperties"));
    setWindowTitle(tr("Properties"));
    auto *layout = new QVBoxLayout(this);
    m_rows = new QFormLayout;
    layout->addLayout(m_rows);

    const QLocale locale;
    const QFileInfo file(fileName);
    const bool onDisk = !fileName.isEmpty() && file.isFile();
    AddRow(tr("File:"), QStringLiteral("lblPath"),
           fileName.isEmpty() ? tr("not saved yet") : file.absoluteFilePath());
    AddRow(tr("Size on disk:"), QStringLiteral("lblSize"),
           onDisk ? tr("%1 bytes").arg(locale.toString(file.size())) : tr("not on disk"));
    AddRow(tr("Last modified:"), QStringLiteral("lblModified"),
           onDisk ? locale.toString(file.lastModified(), QLocale::LongFormat) : tr("not on disk"));

    const std::u16string plain = text.toStdU16String();
    AddRow(tr("Characters:"), QStringLiteral("lblCharacters"),
           tr("%1 (a config file holds at most %2)")
               .arg(locale.toString(text.size()), locale.toString(MaxCharacters)));
    const doctext::BreakCounts breaks = doctext::CountBreaks(plain);
    const std::size_t lines = breaks.crLf + breaks.lf + breaks.cr + breaks.other + 1;
    AddRow(tr("Lines:"), QStringLiteral("lblLines"),
           locale.toString(static_cast<qulonglong>(lines)));
    AddRow(tr("Line breaks:"), QStringLiteral("lblBreaks"), BreakStyleText(breaks));
    AddRow(tr("Lost on saving:"), QStringLiteral("lblLost"), Losses(plain));

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    // Enter closes wherever the focus is, also on a value.
    buttons->button(QDialogButtonBox::Close)->setDefault(true);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
}

void frmProperties::AddRow(const QString &caption, const QString &name, const QString &value)
{
    auto *label = new QLabel(caption, this);
    auto *shown = new QLabel(value, this);
    shown->setObjectName(name);
    shown->setTextFormat(Qt::PlainText);
    shown->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    // Reached by Tab too, so a value can be selected and copied without the mouse.
    shown->setFocusPolicy(Qt::StrongFocus);
    shown->setWordWrap(true);
    label->setBuddy(shown);
    // A value the keyboard reaches reads with its caption, which a reader would
    // otherwise speak only on its own, as the line before.
    QString readAs = caption;
    readAs.remove(QLatin1Char('&'));
    if (readAs.endsWith(QLatin1Char(':')))
        readAs.chop(1);
    shown->setAccessibleName(readAs);
    shown->setAccessibleDescription(value);
    m_rows->addRow(label, shown);
}
