#include "LossTexts.h"

#include "LossReport.h"
#include "Survival.h"

#include <vector>

namespace {

// Counts as the plain layer writes them ("33,010"), so both say the same number.
QString Number(std::size_t n)
{
    return QString::fromStdString(lossreport::Thousands(n));
}

// Qt chooses a plural form by an int; a count past its range takes the plural.
int Count(std::size_t n)
{
    return n > 1000000 ? 1000000 : static_cast<int>(n);
}

QString Named(std::u16string_view text, std::size_t index)
{
    const lossreport::Place place = lossreport::PlaceOf(text, index);
    return LossTexts::tr("%1 at line %2, column %3")
        .arg(QString::fromStdString(lossreport::CharacterName(text, index)), Number(place.line),
             Number(place.column));
}

} // namespace

std::optional<QString> LossTexts::SaveRefusal(std::u16string_view text, std::u16string_view key)
{
    if (text.size() > MaxTextUnits)
        return tr("The text has %1 characters; a Torvane config file holds at most %2.")
            .arg(Number(text.size()), Number(MaxTextUnits));
    const std::vector<std::size_t> overflowing = OverflowingUnits(text, key);
    if (overflowing.empty())
        return std::nullopt;
    const QString character = Named(text, overflowing.front());
    const std::size_t others = overflowing.size() - 1;
    if (others == 0)
        return tr("The character %1 cannot be written to a Torvane config file at all. Replace "
                  "or remove it, then save again.")
            .arg(character);
    return tr("The character %1 cannot be written to a Torvane config file at all (nor can %2 "
              "other(s)). Replace or remove it, then save again.",
              nullptr, Count(others))
        .arg(character, Number(others));
}

std::optional<QString> LossTexts::LossQuestion(std::u16string_view text, std::u16string_view key)
{
    const std::vector<CharacterSpan> lost = LostCharacters(text, key);
    if (lost.empty())
        return std::nullopt;
    QStringList listed;
    for (std::size_t i = 0; i < lost.size() && i < lossreport::ListedCharacters; ++i)
        listed << Named(text, lost[i].index);
    if (lost.size() > lossreport::ListedCharacters)
        listed << tr("and %1 more").arg(Number(lost.size() - lossreport::ListedCharacters));
    return tr("%1 character(s) of this text will not come back when the file is opened again: a "
              "Torvane config file drops or changes them.\n\n%2\n\nReplace them with the nearest "
              "characters that the file keeps and save, save the text as it is, or cancel?",
              nullptr, Count(lost.size()))
        .arg(Number(lost.size()), listed.join(QLatin1Char('\n')));
}

QString LossTexts::UnshownWarning(std::size_t positions)
{
    return tr("%1 position(s) of this file cannot be shown: deciphering drops or changes them. "
              "Saving will rewrite the file without them.",
              nullptr, Count(positions))
        .arg(Number(positions));
}

QString LossTexts::UnshownQuestion(std::size_t positions)
{
    return tr("When this file was opened, %1 position(s) of it could not be shown. Saving now "
              "rewrites the file without them. Save it anyway?",
              nullptr, Count(positions))
        .arg(Number(positions));
}

QString LossTexts::ReadBackMismatch()
{
    return tr("The file was written, but reading it back gave a different text: the file on "
              "disk does not hold the text of this document. The document stays marked as "
              "changed.");
}

QString LossTexts::LossSummary(std::size_t lost, std::size_t units)
{
    QStringList parts;
    if (lost > 0)
        parts << tr("%1 character(s) will not survive saving", nullptr, Count(lost))
                     .arg(Number(lost));
    if (units > MaxTextUnits)
        parts << tr("%1 characters, %2 over the limit of %3")
                     .arg(Number(units), Number(units - MaxTextUnits), Number(MaxTextUnits));
    return parts.join(QStringLiteral("; "));
}
