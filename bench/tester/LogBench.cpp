// The log's cost per entry as it grows: the in-place append the window uses, at 1,000,
// 5,000 and 100,000 entries, against rewriting the whole text for every entry, and the
// heap the log holds per entry. Prints the ratios the log is meant to keep at the end.

#include "MessageLog.h"
#include "Startup.h"

#include <QApplication>
#include <QPlainTextEdit>

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <malloc.h>
#include <map>
#include <memory>

namespace {

constexpr int Timed = 1000;      // entries timed at the end of each run
constexpr int ProcessEvery = 50; // a progress report's worth of entries

std::map<int, double> inPlaceSeconds; // best seconds per entry, by log size
std::map<int, double> literalSeconds;
double bytesPerEntry = 0;

// About 60 characters, like a stamped device message.
QString EntryText(int index)
{
    return QStringLiteral("\r\n12/7/2026 7:03:40 AM: Block %1 of 100000 acknowledged")
        .arg(index, 6, 10, QLatin1Char('0'));
}

// The log as the window shows it: its size at the design layout on a 96 DPI screen.
std::unique_ptr<QPlainTextEdit> MakeView()
{
    auto view = std::make_unique<QPlainTextEdit>();
    view->resize(668, 386);
    view->show();
    return view;
}

std::size_t HeapInUse()
{
    return mallinfo2().uordblks;
}

double Best(std::map<int, double> &store, int size, double seconds)
{
    auto [it, added] = store.try_emplace(size, seconds);
    if (!added && seconds < it->second)
        it->second = seconds;
    return it->second;
}

void BM_LogAppendInPlace(benchmark::State &state)
{
    const int size = static_cast<int>(state.range(0));
    for (auto _ : state) {
        auto view = MakeView();
        MessageLog log(*view);
        // The heap each further entry takes, measured over the second half of the fill so
        // that the widget's fixed costs stay out of it.
        std::size_t heapAtHalf = HeapInUse();
        for (int i = 0; i < size - Timed; ++i) {
            if (i == size / 2)
                heapAtHalf = HeapInUse();
            log.Append(EntryText(i));
            if (i % ProcessEvery == 0)
                QCoreApplication::processEvents();
        }
        const auto start = std::chrono::steady_clock::now();
        for (int i = size - Timed; i < size; ++i) {
            log.Append(EntryText(i));
            if (i % ProcessEvery == 0)
                QCoreApplication::processEvents();
        }
        const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
        state.SetIterationTime(took.count());
        QCoreApplication::processEvents();
        const double perEntry =
            static_cast<double>(HeapInUse() - heapAtHalf) / static_cast<double>(size - size / 2);
        if (size / 2 < size - Timed)
            state.counters["heap_bytes_per_entry"] = perEntry;
        if (size == 100000)
            bytesPerEntry = perEntry;
        Best(inPlaceSeconds, size, took.count() / Timed);
    }
    state.counters["us_per_entry"] = inPlaceSeconds[size] * 1e6;
}

// The whole text rewritten for every entry, as the log was first described.
void BM_LogReplaceWholeText(benchmark::State &state)
{
    const int size = static_cast<int>(state.range(0));
    for (auto _ : state) {
        auto view = MakeView();
        view->setUndoRedoEnabled(false);
        double took = 0;
        for (int i = 0; i < size; ++i) {
            const auto start = std::chrono::steady_clock::now();
            view->setPlainText(view->toPlainText() + EntryText(i));
            view->moveCursor(QTextCursor::End);
            view->ensureCursorVisible();
            if (i % ProcessEvery == 0)
                QCoreApplication::processEvents();
            if (i >= size - Timed)
                took +=
                    std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        }
        state.SetIterationTime(took);
        Best(literalSeconds, size, took / Timed);
    }
    state.counters["us_per_entry"] = literalSeconds[size] * 1e6;
}

BENCHMARK(BM_LogAppendInPlace)
    ->Arg(1000)
    ->Arg(5000)
    ->Arg(100000)
    ->Iterations(2)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LogReplaceWholeText)
    ->Arg(5000)
    ->Iterations(1)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

void PrintSummary()
{
    const auto at = [](const std::map<int, double> &store, int size) {
        const auto found = store.find(size);
        return found == store.end() ? 0.0 : found->second;
    };
    const double small = at(inPlaceSeconds, 1000);
    const double large = at(inPlaceSeconds, 100000);
    const double mid = at(inPlaceSeconds, 5000);
    const double literal = at(literalSeconds, 5000);
    if (small > 0 && large > 0)
        std::printf("in place, per entry: %.2f us at 1,000, %.2f us at 100,000: ratio %.2f "
                    "(goal: at most 2)\n",
                    small * 1e6, large * 1e6, large / small);
    if (mid > 0 && literal > 0)
        std::printf("at 5,000 entries: in place %.2f us, whole text %.1f us: %.0fx faster "
                    "(goal: at least 50x)\n",
                    mid * 1e6, literal * 1e6, literal / mid);
    if (bytesPerEntry > 0)
        std::printf("heap taken per 59-character entry, from 50,000 to 100,000 entries: %.0f "
                    "bytes\n",
                    bytesPerEntry);
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    startup::InstallFontFallbacks();
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    PrintSummary();
    return 0;
}
