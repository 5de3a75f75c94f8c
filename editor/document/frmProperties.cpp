#include "frmProperties.h"

#include "Encryption.h"
#include "Survival.h"
#include "TextFacts.h"

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

QString Losses(const std::u16string &text)
{
    const std::vector<std::size_t> lost = LostUnits(text, DocumentKey);
    if (lost.empty())
        return QStringLiteral("none");
    const std::vector<std::size_t> listed(
        lost.begin(), lost.begin() + static_cast<std::ptrdiff_t>(
                                         std::min(lost.size(), frmProperties::ListedLosses)));
    const std::vector<doctext::Place> places = doctext::PlacesOf(text, listed);
    QStringList where;
    for (std::size_t i = 0; i < listed.size(); ++i)
        where << QStringLiteral("line %1, column %2: %3")
                     .arg(places[i].line)
                     .arg(places[i].column)
                     .arg(Character(text[listed[i]]));
    QString value = lost.size() == 1 ? QStringLiteral("1 character")
                                     : QStringLiteral("%1 characters").arg(lost.size());
    value += QStringLiteral("\n") + where.join(QLatin1Char('\n'));
    if (lost.size() > listed.size())
        value += QStringLiteral("\nand %1 more").arg(lost.size() - listed.size());
    return value;
}

} // namespace

frmProperties::frmProperties(const QString &fileName, const QString &text, QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("frmProperties"));
    setWindowTitle(QStringLiteral("Properties"));
    auto *layout = new QVBoxLayout(this);
    m_rows = new QFormLayout;
    layout->addLayout(m_rows);

    const QLocale locale;
    const QFileInfo file(fileName);
    const bool onDisk = !fileName.isEmpty() && file.isFile();
    AddRow(QStringLiteral("File:"), QStringLiteral("lblPath"),
           fileName.isEmpty() ? QStringLiteral("not saved yet") : file.absoluteFilePath());
    AddRow(QStringLiteral("Size on disk:"), QStringLiteral("lblSize"),
           onDisk ? QStringLiteral("%1 bytes").arg(locale.toString(file.size()))
                  : QStringLiteral("not on disk"));
    AddRow(QStringLiteral("Last modified:"), QStringLiteral("lblModified"),
           onDisk ? locale.toString(file.lastModified(), QLocale::LongFormat)
                  : QStringLiteral("not on disk"));

    const std::u16string plain = text.toStdU16String();
    AddRow(QStringLiteral("Characters:"), QStringLiteral("lblCharacters"),
           QStringLiteral("%1 (a config file holds at most %2)")
               .arg(locale.toString(text.size()), locale.toString(MaxCharacters)));
    const doctext::BreakCounts breaks = doctext::CountBreaks(plain);
    const std::size_t lines = breaks.crLf + breaks.lf + breaks.cr + breaks.other + 1;
    AddRow(QStringLiteral("Lines:"), QStringLiteral("lblLines"),
           locale.toString(static_cast<qulonglong>(lines)));
    AddRow(QStringLiteral("Line breaks:"), QStringLiteral("lblBreaks"),
           QString::fromStdString(doctext::BreakStyle(breaks)));
    AddRow(QStringLiteral("Lost on saving:"), QStringLiteral("lblLost"), Losses(plain));

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
