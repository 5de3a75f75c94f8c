#include "SequenceRun.h"

#include "DeviceControl.h"
#include "Escaping.h"
#include "LineBreaks.h"
#include "LogTexts.h"
#include "QtText.h"
#include "RunOptions.h"
#include "TimeStamp.h"

#include <QElapsedTimer>

#include <exception>

SequenceRun::SequenceRun(DeviceControl &device, tester::Sequence sequence, bool keepGoing)
    : m_device(device), m_keepGoing(keepGoing)
{
    for (tester::SequenceStep &step : sequence.steps)
        m_outcomes.push_back({std::move(step), StepOutcome::State::NotRun, {}, 0, {}});

    connect(&m_device, &DeviceControl::MessageReceived, this,
            [this](const QString &message) { Log(message); });
    connect(&m_device, &DeviceControl::ResponseReceived, this, [this](const QString &response) {
        Log(tester::ToQString(tester::ResponseText(tester::View(response))));
    });
    connect(&m_device, &DeviceControl::ErrorOccurred, this,
            [this](const QString &description, const QString &where) {
                Log(tester::ToQString(
                    tester::DeviceErrorText(tester::View(description), tester::View(where))));
            });
}

bool SequenceRun::Run()
{
    m_started = m_clock ? m_clock() : QDateTime::currentDateTime();
    bool passed = true;
    const int count = static_cast<int>(m_outcomes.size());
    for (int i = 0; i < count && !m_interrupted; ++i) {
        StepOutcome &outcome = m_outcomes[static_cast<std::size_t>(i)];
        RunStep(outcome);
        if (m_onStep)
            m_onStep(outcome, i + 1, count);
        if (outcome.state == StepOutcome::State::Failed) {
            passed = false;
            if (!m_keepGoing)
                break;
        }
    }
    return passed && !m_interrupted;
}

void SequenceRun::Interrupt()
{
    m_interrupted = true;
    // As Cancel in the window: the control sends the abort if a command runs.
    try {
        m_device.CancelCommand();
    } catch (const std::exception &error) {
        qWarning("SequenceRun.Interrupt: %s", error.what());
    }
}

void SequenceRun::RunStep(StepOutcome &outcome)
{
    m_current = &outcome;
    const QString name = QString::fromStdString(outcome.step.name);
    Log(tester::ToQString(tester::SendingText(tester::View(name))));
    QElapsedTimer clock;
    clock.start();
    try {
        const CommandResult result = m_device.ExecuteCommand(outcome.step.number);
        outcome.seconds = static_cast<double>(clock.nsecsElapsed()) / 1e9;
        if (result.Success) {
            if (result.Details.FieldCount > 0)
                Log(tester::ToQString(tester::DetailsText(tester::View(result.Details.FieldText))));
            Log(tester::ToQString(tester::SuccessStatus()));
            outcome.state = StepOutcome::State::Passed;
            if (outcome.step.expectation) {
                const std::string fields = result.Details.FieldText.toStdString();
                if (const auto unmet =
                        tester::CheckExpectation(*outcome.step.expectation, fields)) {
                    outcome.state = StepOutcome::State::Failed;
                    outcome.failure = QStringLiteral("Expectation not met: %1.")
                                          .arg(QString::fromStdString(*unmet));
                    Log(outcome.failure);
                }
            }
            if (outcome.step.number == 1 && m_onUnit)
                m_onUnit(QString::fromStdString(
                    tester::RecordFolder(tester::View(result.Details.FieldText))));
        } else {
            outcome.state = StepOutcome::State::Failed;
            outcome.failure = result.ErrorText;
            Log(tester::ToQString(tester::FailureStatus(tester::View(result.ErrorText))));
        }
    } catch (const std::exception &error) {
        outcome.seconds = static_cast<double>(clock.nsecsElapsed()) / 1e9;
        outcome.state = StepOutcome::State::Failed;
        outcome.failure = QString::fromLocal8Bit(error.what());
        Log(QStringLiteral("Error Sending: %1").arg(outcome.failure));
    }
    // A unit's text may hold control characters; the reports show them as the log does.
    outcome.failure = tester::ToQString(tester::ShowControls(tester::View(outcome.failure)));
    m_current = nullptr;
}

void SequenceRun::Log(const QString &text)
{
    QString stamp;
    if (!text.isEmpty())
        stamp = TimeStamp(QLocale(), m_clock ? m_clock() : QDateTime::currentDateTime());
    QString entry = tester::ToQString(tester::LogEntry(tester::View(stamp), tester::View(text)));
    // Every entry starts with the break that ends the one before. The rest is given LF
    // breaks, as a text file on this platform has them, for the output, report and record.
    entry = tester::ToQString(tester::WithLineFeeds(tester::View(entry).substr(2)));
    if (m_current)
        m_current->log << entry;
    if (m_onEntry)
        m_onEntry(entry);
}
