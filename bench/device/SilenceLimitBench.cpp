// How long the control waits for a silent unit before it gives up, from the unit's last
// byte to the failed command, over 20 commands on a pseudo-terminal. The limit is 5
// seconds and is never to be cut short; the summary gives the shortest, the median and
// the longest wait.

#include "LineFramer.h"
#include "PseudoTerminal.h"
#include "Torvane.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

constexpr int Runs = 20;
std::vector<double> waits; // seconds

// Shakes hands, then answers a command with one report and falls silent.
class SilentUnit : public QObject
{
public:
    SilentUnit()
    {
        connect(&m_terminal, &PseudoTerminal::Received, this, [this](const QByteArray &bytes) {
            m_framer.Append(std::string_view(bytes.constData(), std::size_t(bytes.size())));
            while (const std::optional<protocol::FramedLine> line = m_framer.Next()) {
                if (line->text == "HELLO 1") {
                    m_terminal.Write("HELLO 1 Silent unit\r\n");
                } else if (line->text.rfind("CMD ", 0) == 0) {
                    m_terminal.Write("STATUS Working\r\n");
                    lastByte.start();
                }
            }
        });
    }

    QString Path() const { return m_terminal.Path(); }

    QElapsedTimer lastByte;

private:
    PseudoTerminal m_terminal;
    protocol::LineFramer m_framer;
};

void SilenceLimit(benchmark::State &state)
{
    SilentUnit unit;
    Torvane device;
    device.SetPort(unit.Path());
    for (auto _ : state) {
        const CommandResult result = device.ExecuteCommand(1);
        const double seconds = double(unit.lastByte.nsecsElapsed()) / 1e9;
        if (result.Success || !result.ErrorText.startsWith(QStringLiteral("The unit stopped"))) {
            state.SkipWithError(qPrintable(result.ErrorText));
            return;
        }
        waits.push_back(seconds);
        state.SetIterationTime(seconds);
    }
}
BENCHMARK(SilenceLimit)->Iterations(Runs)->UseManualTime()->Unit(benchmark::kSecond);

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    if (waits.empty())
        return 1;
    std::sort(waits.begin(), waits.end());
    std::printf("silence limit over %zu runs: shortest %.4f s, median %.4f s, longest %.4f s%s\n",
                waits.size(), waits.front(), waits[waits.size() / 2], waits.back(),
                waits.front() >= 5.0 ? "" : "  (EARLY)");
    return 0;
}
