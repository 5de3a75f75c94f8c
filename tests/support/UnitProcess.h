#pragma once
// A torvane-unit process for a test: started with the given switches, its terminal's
// path read from its first line, stopped when the test is done. Every wait is bounded.

#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTest>

#include <csignal>

class UnitProcess
{
public:
    explicit UnitProcess(const QStringList &switches)
    {
        m_process.start(QStringLiteral(TORVANE_UNIT), switches);
        // Path() stays empty when the unit does not start in time; the test checks it.
        [[maybe_unused]] const bool started = QTest::qWaitFor(
            [this] {
                m_output += QString::fromLocal8Bit(m_process.readAllStandardOutput());
                const qsizetype at = m_output.indexOf(QStringLiteral("Torvane unit on "));
                const qsizetype end = m_output.indexOf(QLatin1Char('\n'), at);
                if (at >= 0 && end > at)
                    m_path = m_output.mid(at + 16, end - at - 16);
                return !m_path.isEmpty() || m_process.state() == QProcess::NotRunning;
            },
            10000);
    }

    ~UnitProcess()
    {
        if (m_process.state() != QProcess::NotRunning) {
            m_process.terminate();
            if (!m_process.waitForFinished(5000))
                m_process.kill();
            m_process.waitForFinished(5000);
        }
    }

    UnitProcess(const UnitProcess &) = delete;
    UnitProcess &operator=(const UnitProcess &) = delete;

    // The pseudo-terminal a tester opens; empty if the unit did not start.
    QString Path() const { return m_path; }

    // What it has printed so far.
    QString Output()
    {
        m_output += QString::fromLocal8Bit(m_process.readAllStandardOutput());
        return m_output;
    }

    // Ctrl+C, then its exit status once it has ended (-1 if it does not end in time).
    int Interrupt()
    {
        ::kill(static_cast<pid_t>(m_process.processId()), SIGINT);
        return WaitForEnd();
    }

    int WaitForEnd()
    {
        if (!QTest::qWaitFor([this] { return m_process.state() == QProcess::NotRunning; }, 10000))
            return -1;
        Output();
        return m_process.exitStatus() == QProcess::NormalExit ? m_process.exitCode() : -1;
    }

private:
    QProcess m_process;
    QString m_output;
    QString m_path;
};
