// Opening 100 config files of the largest size the format allows (65,532 bytes) into one
// frame, one document window each, as File > Open or the command line does.

#include "BenchSupport.h"
#include "Startup.h"
#include "frmDocument.h"
#include "frmMain.h"

#include <QApplication>
#include <QDir>
#include <QMdiArea>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <memory>

namespace {

QString largest;

void OpenHundredDocuments(benchmark::State &state)
{
    SilentModal modal;
    for (auto _ : state) {
        auto frame = std::make_unique<frmMain>(modal);
        frame->show();
        for (int i = 0; i < 100; ++i)
            frame->LoadFile(largest);
        QApplication::processEvents();
        state.PauseTiming();
        if (frame->DocumentCount() != 100 || frame->ActiveDocument()->Text().size() != 32766)
            state.SkipWithError("the documents did not open whole");
        frame.reset();
        state.ResumeTiming();
    }
    state.counters["documents/s"] = benchmark::Counter(
        100.0 * static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}

} // namespace

BENCHMARK(OpenHundredDocuments)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

int main(int argc, char **argv)
{
    return RunEditorBenchmarks(argc, argv, [](const QString &scratch) {
        largest = QDir(scratch).filePath(QStringLiteral("largest.cfg"));
        WriteLargestConfig(largest);
    });
}
