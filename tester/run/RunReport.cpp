#include "RunReport.h"

#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>
#include <QXmlStreamWriter>

namespace {

using State = StepOutcome::State;

QString CaseName(const StepOutcome &outcome)
{
    // The line keeps two runs of the same command apart on a dashboard.
    return QStringLiteral("line %1: %2")
        .arg(outcome.step.line)
        .arg(QString::fromStdString(outcome.step.name));
}

QString Seconds(double seconds)
{
    return QString::number(seconds, 'f', 3);
}

int Count(const std::vector<StepOutcome> &outcomes, State state)
{
    return static_cast<int>(
        std::count_if(outcomes.begin(), outcomes.end(),
                      [state](const StepOutcome &o) { return o.state == state; }));
}

double TotalSeconds(const std::vector<StepOutcome> &outcomes)
{
    double total = 0;
    for (const StepOutcome &outcome : outcomes)
        total += outcome.seconds;
    return total;
}

} // namespace

QByteArray JUnitReport(const RunSummary &summary, const std::vector<StepOutcome> &outcomes)
{
    QByteArray bytes;
    QXmlStreamWriter xml(&bytes);
    xml.setAutoFormatting(true);
    xml.writeStartDocument();
    const QString suite = QFileInfo(summary.sequence).fileName();
    const auto counts = [&xml, &outcomes] {
        xml.writeAttribute(QStringLiteral("tests"), QString::number(outcomes.size()));
        xml.writeAttribute(QStringLiteral("failures"),
                           QString::number(Count(outcomes, State::Failed)));
        xml.writeAttribute(QStringLiteral("errors"), QStringLiteral("0"));
        xml.writeAttribute(QStringLiteral("skipped"),
                           QString::number(Count(outcomes, State::NotRun)));
        xml.writeAttribute(QStringLiteral("time"), Seconds(TotalSeconds(outcomes)));
    };
    xml.writeStartElement(QStringLiteral("testsuites"));
    xml.writeAttribute(QStringLiteral("name"), QStringLiteral("probator"));
    counts();
    xml.writeStartElement(QStringLiteral("testsuite"));
    xml.writeAttribute(QStringLiteral("name"), suite);
    counts();
    xml.writeAttribute(QStringLiteral("timestamp"),
                       summary.started.toString(QStringLiteral("yyyy-MM-dd'T'HH:mm:ss")));
    xml.writeStartElement(QStringLiteral("properties"));
    const auto property = [&xml](const char *name, const QString &value) {
        xml.writeEmptyElement(QStringLiteral("property"));
        xml.writeAttribute(QStringLiteral("name"), QString::fromLatin1(name));
        xml.writeAttribute(QStringLiteral("value"), value);
    };
    property("unit", summary.unit);
    property("port", summary.port);
    property("interrupted", summary.interrupted ? QStringLiteral("true") : QStringLiteral("false"));
    xml.writeEndElement();
    for (const StepOutcome &outcome : outcomes) {
        xml.writeStartElement(QStringLiteral("testcase"));
        xml.writeAttribute(QStringLiteral("name"), CaseName(outcome));
        xml.writeAttribute(QStringLiteral("classname"), suite);
        xml.writeAttribute(QStringLiteral("time"), Seconds(outcome.seconds));
        if (outcome.state == State::Failed) {
            xml.writeStartElement(QStringLiteral("failure"));
            xml.writeAttribute(QStringLiteral("message"), outcome.failure);
            xml.writeAttribute(QStringLiteral("type"), QStringLiteral("CommandFailed"));
            xml.writeCharacters(outcome.failure);
            xml.writeEndElement();
        } else if (outcome.state == State::NotRun) {
            xml.writeEmptyElement(QStringLiteral("skipped"));
            xml.writeAttribute(QStringLiteral("message"),
                               QStringLiteral("Not run: an earlier command failed."));
        }
        if (!outcome.log.isEmpty())
            xml.writeTextElement(QStringLiteral("system-out"),
                                 outcome.log.join(QLatin1Char('\n')) + QLatin1Char('\n'));
        xml.writeEndElement();
    }
    xml.writeEndElement();
    xml.writeEndElement();
    xml.writeEndDocument();
    return bytes;
}

QByteArray JsonReport(const RunSummary &summary, const std::vector<StepOutcome> &outcomes)
{
    QJsonArray commands;
    for (const StepOutcome &outcome : outcomes) {
        static const char *const States[] = {"not run", "passed", "failed"};
        QJsonObject command{
            {QStringLiteral("line"), outcome.step.line},
            {QStringLiteral("number"), outcome.step.number},
            {QStringLiteral("name"), QString::fromStdString(outcome.step.name)},
            {QStringLiteral("result"),
             QString::fromLatin1(States[static_cast<int>(outcome.state)])},
            {QStringLiteral("seconds"), outcome.seconds},
            {QStringLiteral("log"), QJsonArray::fromStringList(outcome.log)},
        };
        if (outcome.state == State::Failed)
            command.insert(QStringLiteral("failure"), outcome.failure);
        commands.append(command);
    }
    const QJsonObject report{
        {QStringLiteral("sequence"), summary.sequence},
        {QStringLiteral("port"), summary.port},
        {QStringLiteral("unit"), summary.unit},
        {QStringLiteral("started"), summary.started.toString(Qt::ISODate)},
        {QStringLiteral("interrupted"), summary.interrupted},
        {QStringLiteral("passed"), Count(outcomes, State::Passed)},
        {QStringLiteral("failed"), Count(outcomes, State::Failed)},
        {QStringLiteral("notRun"), Count(outcomes, State::NotRun)},
        {QStringLiteral("commands"), commands},
    };
    return QJsonDocument(report).toJson();
}

std::optional<QString> SaveReport(const QString &path, tester::ReportFormat format,
                                  const RunSummary &summary,
                                  const std::vector<StepOutcome> &outcomes)
{
    const QByteArray bytes = format == tester::ReportFormat::Json ? JsonReport(summary, outcomes)
                                                                  : JUnitReport(summary, outcomes);
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return file.errorString();
    if (file.write(bytes) != bytes.size()) {
        file.cancelWriting();
        return file.errorString();
    }
    if (!file.commit())
        return file.errorString();
    return std::nullopt;
}
