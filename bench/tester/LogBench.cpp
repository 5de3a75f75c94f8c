// The tester's log under a long command: the private memory 100,000 entries hold against
// the bytes of the text they show, the time of the last thousand appends against the
// first thousand, and a resize repaint of the window at 100,000 entries against the
// same window with an empty log. Also the in-place append against rewriting the whole
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
constexpr int FillRounds = 3;    // thousands of appends compared
constexpr int ResizeRounds = 41;

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

// Private memory the process has written, in bytes: its heap and whatever else no other
// process shares. Clean private pages are left out: they are pages of libraries and fonts
// that the kernel drops and reads back as it likes on a busy machine, which swung the
// figure by tens of megabytes between runs.
double PrivateBytes()
{
    QFile file(QStringLiteral("/proc/self/smaps_rollup"));
    if (!file.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray &line : file.readAll().split('\n')) {
        if (line.startsWith("Private_Dirty:")) {
            const QList<QByteArray> fields = line.simplified().split(' ');
            return fields.size() >= 2 ? fields[1].toDouble() * 1024 : 0;
        }
    }
    return 0;
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

// Says dump lines `from` to `to` to the window, letting it paint as a progress report
// would; returns the seconds that took.
double Say(Window &window, int from, int to)
{
    const auto start = Clock::now();
    for (int i = from; i < to; ++i) {
        window.device->Say(DumpLine(i));
        if (i % ProcessEvery == 0)
            QCoreApplication::processEvents();
    }
    return Seconds(start);
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

    // The long log is filled to its last thousands; each of those is then said to it
    // interleaved with the first thousand of a fresh log, a progress report's worth at a
    // time, so that both see the same load of the machine.
    // The fresh logs' windows open first, so that only what the logs take is counted.
    std::vector<Window> fresh;
    for (int round = 0; round < FillRounds; ++round)
        fresh.push_back(Open(modal));
    const double before = PrivateBytes();
    Window full = Open(modal);
    Say(full, 0, Entries - FillRounds * Timed);
    std::vector<double> appendRatios;
    for (int round = 0; round < FillRounds; ++round) {
        double first = 0;
        double last = 0;
        const int offset = Entries - (FillRounds - round) * Timed;
        for (int i = 0; i < Timed; i += ProcessEvery) {
            first += Say(fresh[static_cast<std::size_t>(round)], i, i + ProcessEvery);
            last += Say(full, offset + i, offset + i + ProcessEvery);
        }
        appendRatios.push_back(last / first);
    }
    QCoreApplication::processEvents();
    const double heldBytes = PrivateBytes() - before;
    for (Window &window : fresh)
        delete window.form.data();
    const auto textBytes = static_cast<double>(full.form->LogText().toUtf8().size());
    const double memoryRatio = heldBytes / textBytes;

    std::vector<double> emptyTimes;
    std::vector<double> fullTimes;
    for (int round = 0; round < ResizeRounds; ++round) {
        emptyTimes.push_back(ResizeOnce(empty, round));
        fullTimes.push_back(ResizeOnce(full, round));
    }

    std::printf("log of %d entries: %.1f MB of text, %.1f MB private memory written: ratio %.2f "
                "(goal: at most 2)\n",
                Entries, textBytes / 1e6, heldBytes / 1e6, memoryRatio);
    std::printf("appending, last thousand / first thousand (median of %d rounds): ratio %.2f "
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

// The whole text rewritten for every entry, as the log was first described. What an
// entry costs depends only on the text before it, so the text is put in at once and
// only the last entries are rewritten one by one: each takes tens of milliseconds.
void BM_LogReplaceWholeText(benchmark::State &state)
{
    constexpr int Rewritten = 100;
    const int size = static_cast<int>(state.range(0));
    for (auto _ : state) {
        QPlainTextEdit view;
        view.resize(668, 386);
        view.show();
        view.setUndoRedoEnabled(false);
        QString text;
        for (int i = 0; i < size - Rewritten; ++i)
            text += EntryText(i);
        view.setPlainText(text);
        QCoreApplication::processEvents();
        double took = 0;
        for (int i = size - Rewritten; i < size; ++i) {
            const auto start = Clock::now();
            view.setPlainText(view.toPlainText() + EntryText(i));
            view.moveCursor(QTextCursor::End);
            view.ensureCursorVisible();
            if (i % ProcessEvery == 0)
                QCoreApplication::processEvents();
            took += Seconds(start);
        }
        state.SetIterationTime(took);
        literalSeconds = took / Rewritten;
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
