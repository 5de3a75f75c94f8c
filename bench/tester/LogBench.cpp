// The tester's log under a long command: the private memory 100,000 entries hold against
// the bytes of the text they show, the time of the last thousand appends against the
// first thousand, and a resize repaint of the window at 100,000 entries against the
// same window with an empty log. Then the in-place append against rewriting the whole
// text for every entry, at 5,000 entries. Every figure is a ratio to a baseline taken
// in the same run, since the machine is shared.

#include "BenchSupport.h"
#include "DeviceControl.h"
#include "LogView.h"
#include "MessageLog.h"
#include "Startup.h"
#include "frmTest.h"

#include <QApplication>
#include <QFile>
#include <QPlainTextEdit>
#include <QPointer>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <memory>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

constexpr int Entries = 100000;
constexpr int Timed = 1000;      // appends timed at each end of the fill
constexpr int ProcessEvery = 50; // a progress report's worth of entries
constexpr int FillRounds = 3;
constexpr int ResizeRounds = 15;

// A control that does nothing itself: the bench raises its events.
class QuietDevice : public DeviceControl
{
public:
    bool Simulate() const override { return false; }
    void SetSimulate(bool) override {}
    CommandResult ExecuteCommand(qint32) override { return {true, {}, {}}; }
    void CancelCommand() override {}
    void Say(const QString &message) { emit MessageReceived(message); }
};

// A line of a flash dump as the unit sends it, about 55 characters; with its stamp an
// entry shows about 80.
QString DumpLine(int index)
{
    return QStringLiteral("Read Flash: block %1 at 0x%2: 3F A0 17 C4 9B 02 5E 11")
        .arg(index, 6, 10, QLatin1Char('0'))
        .arg(index * 64, 8, 16, QLatin1Char('0'));
}

// Private memory of the process, in bytes: what it holds that no other process shares.
double PrivateBytes()
{
    QFile file(QStringLiteral("/proc/self/smaps_rollup"));
    if (!file.open(QIODevice::ReadOnly))
        return 0;
    double kib = 0;
    for (const QByteArray &line : file.readAll().split('\n')) {
        if (line.startsWith("Private_Clean:") || line.startsWith("Private_Dirty:")) {
            const QList<QByteArray> fields = line.simplified().split(' ');
            if (fields.size() >= 2)
                kib += fields[1].toDouble();
        }
    }
    return kib * 1024;
}

double Median(std::vector<double> values)
{
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    const std::size_t middle = values.size() / 2;
    return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

struct Window
{
    QuietDevice *device = nullptr;
    QPointer<frmTest> form;
};

Window Open(Modal &modal)
{
    Window window;
    window.device = new QuietDevice;
    window.form = new frmTest(modal, window.device);
    window.form->show();
    QCoreApplication::processEvents();
    return window;
}

double Seconds(Clock::time_point from)
{
    return std::chrono::duration<double>(Clock::now() - from).count();
}

struct Fill
{
    double first = 0; // seconds of the first thousand appends
    double last = 0;  // of the last thousand
};

// Says `Entries` dump lines to the window, letting it paint as a progress report would.
Fill FillLog(Window &window)
{
    Fill fill;
    Clock::time_point start;
    for (int i = 0; i < Entries; ++i) {
        if (i == 0 || i == Entries - Timed)
            start = Clock::now();
        window.device->Say(DumpLine(i));
        if (i % ProcessEvery == 0)
            QCoreApplication::processEvents();
        if (i == Timed - 1)
            fill.first = Seconds(start);
        if (i == Entries - 1)
            fill.last = Seconds(start);
    }
    QCoreApplication::processEvents();
    return fill;
}

// One resize of the window and its repaint, in seconds.
double ResizeOnce(Window &window, int round)
{
    const QSize size(700 + (round % 2) * 37, 520 + (round % 2) * 23);
    const auto start = Clock::now();
    window.form->resize(size);
    window.form->repaint();
    QCoreApplication::processEvents();
    return Seconds(start);
}

void MeasureWindow()
{
    SilentModal modal;
    Window empty = Open(modal);

    std::vector<double> appendRatios;
    double memoryRatio = 0;
    double textBytes = 0;
    double heldBytes = 0;
    Window full;
    for (int round = 0; round < FillRounds; ++round) {
        if (full.form)
            delete full.form.data();
        QCoreApplication::processEvents();
        const double before = PrivateBytes();
        full = Open(modal);
        const Fill fill = FillLog(full);
        const double after = PrivateBytes();
        appendRatios.push_back(fill.last / fill.first);
        if (round == 0) {
            textBytes = static_cast<double>(full.form->LogText().toUtf8().size());
            heldBytes = after - before;
            memoryRatio = heldBytes / textBytes;
        }
    }

    std::vector<double> emptyTimes;
    std::vector<double> fullTimes;
    for (int round = 0; round < ResizeRounds; ++round) {
        emptyTimes.push_back(ResizeOnce(empty, round));
        fullTimes.push_back(ResizeOnce(full, round));
    }

    std::printf("log of %d entries: %.1f MB of text, %.1f MB private memory: ratio %.2f "
                "(goal: at most 2)\n",
                Entries, textBytes / 1e6, heldBytes / 1e6, memoryRatio);
    std::printf("appending, last thousand / first thousand (median of %d fills): ratio %.2f "
                "(goal: at most 1.2)\n",
                FillRounds, Median(appendRatios));
    std::printf("resize repaint, %d entries / empty log (medians of %d rounds, %.2f ms "
                "empty): ratio %.2f (goal: at most 1.5)\n",
                Entries, ResizeRounds, Median(emptyTimes) * 1e3,
                Median(fullTimes) / Median(emptyTimes));
    delete full.form.data();
    delete empty.form.data();
}

double inPlaceSeconds = 0; // per entry, at 5,000 entries
double literalSeconds = 0;

QString EntryText(int index)
{
    return QStringLiteral("\r\n12/7/2026 7:03:40 AM: ") + DumpLine(index);
}

void BM_LogAppendInPlace(benchmark::State &state)
{
    const int size = static_cast<int>(state.range(0));
    for (auto _ : state) {
        LogView view;
        view.resize(668, 386);
        view.show();
        MessageLog log(view);
        double took = 0;
        for (int i = 0; i < size; ++i) {
            const auto start = Clock::now();
            log.Append(EntryText(i));
            if (i % ProcessEvery == 0)
                QCoreApplication::processEvents();
            if (i >= size - Timed)
                took += Seconds(start);
        }
        state.SetIterationTime(took);
        inPlaceSeconds = took / Timed;
    }
}

// The whole text rewritten for every entry, as the log was first described.
void BM_LogReplaceWholeText(benchmark::State &state)
{
    const int size = static_cast<int>(state.range(0));
    for (auto _ : state) {
        QPlainTextEdit view;
        view.resize(668, 386);
        view.show();
        view.setUndoRedoEnabled(false);
        double took = 0;
        for (int i = 0; i < size; ++i) {
            const auto start = Clock::now();
            view.setPlainText(view.toPlainText() + EntryText(i));
            view.moveCursor(QTextCursor::End);
            view.ensureCursorVisible();
            if (i % ProcessEvery == 0)
                QCoreApplication::processEvents();
            if (i >= size - Timed)
                took += Seconds(start);
        }
        state.SetIterationTime(took);
        literalSeconds = took / Timed;
    }
}

BENCHMARK(BM_LogAppendInPlace)->Arg(5000)->Iterations(1)->UseManualTime();
BENCHMARK(BM_LogReplaceWholeText)->Arg(5000)->Iterations(1)->UseManualTime();

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir scratch;
    if (!scratch.isValid())
        return 2;
    UseScratchHome(scratch.path());
    QApplication app(argc, argv);
    startup::InstallFontFallbacks();
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    if (inPlaceSeconds > 0 && literalSeconds > 0)
        std::printf("at 5,000 entries: in place %.2f us, whole text %.1f us per entry: %.0fx "
                    "faster (goal: at least 50x)\n",
                    inPlaceSeconds * 1e6, literalSeconds * 1e6, literalSeconds / inPlaceSeconds);
    MeasureWindow();
    return 0;
}
