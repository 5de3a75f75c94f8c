#include "CommandRun.h"

#include "Escape.h"
#include "Limits.h"

#include <QCoreApplication>
#include <QStringList>

#include <utility>

namespace {

QString FromUtf8(const std::string &text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

} // namespace

std::optional<protocol::UnitLine> CommandRun::Take(const protocol::FramedLine &framed)
{
    if (m_ending)
        return std::nullopt;
    protocol::Result<protocol::UnitLine> parsed =
        framed.overlong
            ? protocol::Result<protocol::UnitLine>::Fail("a line longer than 1024 bytes")
            : protocol::ParseUnitLine(framed.text);
    if (m_wait == Wait::Hello) {
        // A unit too old to know the space before an empty text still says no.
        if (framed.text == "FAIL") {
            End({How::Final, protocol::UnitText(protocol::UnitTag::Fail, {}), {}});
            return std::nullopt;
        }
        // Leftovers of an earlier session come before the answer: pass them by.
        if (parsed && (parsed.value().tag == protocol::UnitTag::Hello ||
                       parsed.value().tag == protocol::UnitTag::Fail))
            End({How::Final, parsed.value(), {}});
        return std::nullopt;
    }
    if (!parsed) {
        Violation(QCoreApplication::translate(
                      "CommandRun", "The unit sent a line that could not be read (%1): \"%2\"")
                      .arg(FromUtf8(parsed.error()), FromUtf8(protocol::Visible(framed.text))));
        return std::nullopt;
    }
    const protocol::UnitLine &line = parsed.value();
    const bool inPlace =
        m_wait == Wait::Setting
            ? line.tag == protocol::UnitTag::Ok || line.tag == protocol::UnitTag::Fail
            : line.tag != protocol::UnitTag::Hello &&
                  (line.tag != protocol::UnitTag::Aborted || m_aborted);
    if (!inPlace) {
        Violation(
            QCoreApplication::translate("CommandRun", "The unit sent a line out of place: \"%1\"")
                .arg(FromUtf8(protocol::Visible(framed.text))));
        return std::nullopt;
    }
    if (line.IsFinal()) {
        End({How::Final, line, {}});
        return std::nullopt;
    }
    // After an abort nothing more of the command is shown.
    if (m_aborted)
        return std::nullopt;
    if (line.tag != protocol::UnitTag::Field)
        return line;
    if (m_fields.size() == protocol::MaxFields)
        Violation(QCoreApplication::translate("CommandRun", "The unit sent more than %1 fields.")
                      .arg(protocol::MaxFields));
    else
        m_fields.push_back(line.text);
    return std::nullopt;
}

void CommandRun::End(Ending ending)
{
    if (!m_ending)
        m_ending = std::move(ending);
}

void CommandRun::Violation(const QString &text)
{
    End({How::Violation, {}, text});
}

CommandResult CommandRun::CommandOutcome() const
{
    if (!m_ending || m_ending->how != How::Final)
        return {false, m_ending ? m_ending->text : QString(), {}};
    if (m_ending->line.tag == protocol::UnitTag::Fail)
        return {false, FromUtf8(m_ending->line.text), {}};
    if (m_ending->line.tag != protocol::UnitTag::Ok)
        return {false, QCoreApplication::translate("CommandRun", "The command was cancelled."), {}};
    QStringList fields;
    for (const std::string &field : m_fields)
        fields << FromUtf8(field);
    return {true, {}, {static_cast<qint32>(fields.size()), fields.join(QStringLiteral("\r\n"))}};
}
