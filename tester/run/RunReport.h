#pragma once
// The report of a run for CI systems and test-bench dashboards: JUnit XML, each command
// a test case with its time, its failure and its log entries, or JSON for scripts.

#include "RunOptions.h"
#include "SequenceRun.h"

#include <QByteArray>
#include <QString>

#include <optional>
#include <vector>

struct RunSummary
{
    QString sequence; // the sequence file as given
    QString port;     // the serial port, or empty when simulated or chosen by the control
    QString unit;     // the ESN's record folder, "unknown" before a Read ESN answered
    QDateTime started;
    bool interrupted = false;
};

QByteArray JUnitReport(const RunSummary &summary, const std::vector<StepOutcome> &outcomes);
QByteArray JsonReport(const RunSummary &summary, const std::vector<StepOutcome> &outcomes);

// Writes the report whole or not at all; why it failed, or nothing.
std::optional<QString> SaveReport(const QString &path, tester::ReportFormat format,
                                  const RunSummary &summary,
                                  const std::vector<StepOutcome> &outcomes);
