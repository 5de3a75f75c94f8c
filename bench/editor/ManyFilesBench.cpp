// What a double-click storm asks of the running editor: many files handed over at once
// (each opened and remembered), the frame closed with all of them open, and a hostile
// same-user client sending a request of megabytes to the hand-over socket. The opening of
// many files is raced, in interleaved rounds, against the floor of any editor: the same
// texts from plain files into as many bare QPlainTextEdit boxes, each shown.

#include "BenchSupport.h"
#include "Globals.h"
#include "LocalSocket.h"
#include "Main.h"
#include "SingleInstance.h"
#include "Startup.h"
#include "frmDocument.h"
#include "frmMain.h"

#include <QApplication>
#include <QDataStream>
#include <QDir>
#include <QFile>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPlainTextEdit>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <map>
#include <memory>
#include <vector>

namespace {

QString folder;

// The process's processor time: on a shared, loaded machine the wall clock also counts
// the time others had the cores, and this does not.
double ProcessorSeconds()
{
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9;
}

QStringList SmallFiles(int count, const QString &suffix = QStringLiteral("cfg"))
{
    QStringList files;
    for (int i = 0; i < count; ++i)
        files << QDir(folder).filePath(
            QStringLiteral("f%1.%2").arg(i, 4, 10, QLatin1Char('0')).arg(suffix));
    return files;
}

// One round's times, wall clock and processor, of a contender.
struct Times
{
    double wall = 0;
    double processor = 0;
};

// Each race's rounds, by its name: the editor's and the bare boxes' times.
std::map<std::string, std::vector<std::pair<Times, Times>>> races;

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values.empty() ? 0 : values[values.size() / 2];
}

// The plain copies of `count` files into bare text boxes on one shown widget.
Times OpenBare(int count)
{
    const auto start = std::chrono::steady_clock::now();
    const double before = ProcessorSeconds();
    {
        QWidget holder;
        holder.resize(1000, 700);
        holder.show();
        for (const QString &path : SmallFiles(count, QStringLiteral("txt"))) {
            QFile file(path);
            if (!file.open(QIODevice::ReadOnly))
                return {};
            auto *box = new QPlainTextEdit(&holder);
            box->setPlainText(QString::fromUtf8(file.readAll()));
            box->show();
        }
        QApplication::processEvents();
    }
    return {std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count(),
            ProcessorSeconds() - before};
}

// Hand-over of `count` files (range 0), then Exit with all of them open.
void HandOverThenExit(benchmark::State &state)
{
    const QStringList files = SmallFiles(static_cast<int>(state.range(0)));
    SilentModal modal;
    double openSeconds = 0;
    double exitSeconds = 0;
    double openProcessor = 0;
    double exitProcessor = 0;
    auto &rounds = races["handed over to the running editor " + std::to_string(state.range(0))];
    for (auto _ : state) {
        // Rounds alternate which goes first, so neither always meets a warmer cache.
        const bool bareFirst = rounds.size() % 2 == 1;
        state.PauseTiming();
        const Times bare = bareFirst ? OpenBare(static_cast<int>(state.range(0))) : Times{};
        state.ResumeTiming();
        auto frame = std::make_unique<frmMain>(modal);
        frame->show();
        QApplication::processEvents();
        auto start = std::chrono::steady_clock::now();
        const double processorBefore = ProcessorSeconds();
        frame->OpenFiles(files);
        QApplication::processEvents();
        const double openCpu = ProcessorSeconds() - processorBefore;
        openProcessor += openCpu;
        auto middle = std::chrono::steady_clock::now();
        const double exitBefore = ProcessorSeconds();
        frame->close();
        QApplication::processEvents();
        exitProcessor += ProcessorSeconds() - exitBefore;
        auto end = std::chrono::steady_clock::now();
        const double open = std::chrono::duration<double>(middle - start).count();
        openSeconds += open;
        exitSeconds += std::chrono::duration<double>(end - middle).count();
        state.PauseTiming();
        frame.reset();
        QApplication::processEvents();
        rounds.push_back(
            {{open, openCpu}, bareFirst ? bare : OpenBare(static_cast<int>(state.range(0)))});
        state.ResumeTiming();
    }
    const auto runs = static_cast<double>(state.iterations());
    state.counters["open_s"] = openSeconds / runs;
    state.counters["exit_s"] = exitSeconds / runs;
    state.counters["open_cpu_s"] = openProcessor / runs;
    state.counters["exit_cpu_s"] = exitProcessor / runs;
}

// The same files named on the command line of a start with no editor running: opened while
// the frame is hidden, timed until the frame is shown with them.
void CommandLine(benchmark::State &state)
{
    const QStringList files = SmallFiles(static_cast<int>(state.range(0)));
    SilentModal modal;
    double processor = 0;
    auto &rounds = races["named on the command line " + std::to_string(state.range(0))];
    for (auto _ : state) {
        const bool bareFirst = rounds.size() % 2 == 1;
        state.PauseTiming();
        const Times bare = bareFirst ? OpenBare(static_cast<int>(state.range(0))) : Times{};
        state.ResumeTiming();
        const auto start = std::chrono::steady_clock::now();
        const double before = ProcessorSeconds();
        if (Main(files, modal) != StartupResult::Shown) {
            state.SkipWithError("no frame");
            return;
        }
        auto *frame = dynamic_cast<frmMain *>(MainWindow);
        QApplication::processEvents();
        const double cpu = ProcessorSeconds() - before;
        processor += cpu;
        const double wall =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        state.PauseTiming();
        MainWindow = nullptr;
        delete frame;
        QApplication::processEvents();
        rounds.push_back(
            {{wall, cpu}, bareFirst ? bare : OpenBare(static_cast<int>(state.range(0)))});
        state.ResumeTiming();
    }
    state.counters["cpu_s"] = processor / static_cast<double>(state.iterations());
}

// Files of the largest size named on the command line: one, or twenty. Timed to
// the frame shown (Main returned) and to every document's text in its box, which for the
// documents behind the front one waits for the event loop; the twenty are given as ratios
// to the one in the same interleaved rounds.
QStringList largestFiles;
std::map<int, std::vector<std::pair<double, double>>> largestRounds; // shown, ready

void CommandLineLargest(benchmark::State &state)
{
    SilentModal modal;
    for (auto _ : state) {
        // Ones and twenties alternate, so that neither always meets a warmer cache.
        const int count = largestRounds[1].size() > largestRounds[20].size() ? 20 : 1;
        const double before = ProcessorSeconds();
        if (Main(largestFiles.mid(0, count), modal) != StartupResult::Shown) {
            state.SkipWithError("no frame");
            return;
        }
        const double shown = ProcessorSeconds() - before;
        auto *frame = dynamic_cast<frmMain *>(MainWindow);
        QApplication::processEvents();
        bool whole = true;
        for (QMdiSubWindow *window : frame->mdiArea()->subWindowList()) {
            const auto *document = dynamic_cast<frmDocument *>(window);
            whole = whole && document && document->TextBox()->document()->characterCount() > 30000;
        }
        const double ready = ProcessorSeconds() - before;
        state.PauseTiming();
        if (!whole)
            state.SkipWithError("a document's box was not filled");
        MainWindow = nullptr;
        delete frame;
        QApplication::processEvents();
        largestRounds[count].emplace_back(shown, ready);
        state.ResumeTiming();
    }
}

// A same-user client writes a request of 3.8 MB (one absurd path) to the running editor;
// timed until the editor has dealt with it and is idle again.
void HugeRequest(benchmark::State &state)
{
    SilentModal modal;
    frmMain frame(modal);
    singleinstance::InstanceServer server;
    QObject::connect(&server, &singleinstance::InstanceServer::FilesReceived, &frame,
                     [&frame](const QStringList &paths) { frame.OpenFiles(paths); });
    if (!server.Listen()) {
        state.SkipWithError("cannot listen");
        return;
    }
    frame.show();
    const QString path = QLatin1Char('/') + QString(1'900'000, QLatin1Char('a'));
    const QByteArray request = singleinstance::Request({path});
    for (auto _ : state) {
        localsocket::Connection client =
            localsocket::Connect(QFile::encodeName(singleinstance::ServerName()).toStdString());
        // The client's side is written in pieces as the editor reads; the editor's whole
        // handling is what the user waits for.
        std::size_t sent = 0;
        for (bool ended = client.reach != localsocket::Reach::Connected; !ended;) {
            const localsocket::Transfer out =
                localsocket::Send(client.socket.get(), request.constData() + sent,
                                  static_cast<std::size_t>(request.size()) - sent);
            sent += out.bytes;
            QApplication::processEvents();
            char answer[16];
            ended = out.flow == localsocket::Flow::Ended ||
                    localsocket::Receive(client.socket.get(), answer, sizeof answer).flow ==
                        localsocket::Flow::Ended;
        }
        QApplication::processEvents();
    }
    state.counters["request_MB"] = static_cast<double>(request.size()) / 1e6;
}

} // namespace

BENCHMARK(HandOverThenExit)
    ->Arg(100)
    ->Arg(1000)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(5)
    ->UseRealTime();
BENCHMARK(CommandLine)
    ->Arg(100)
    ->Arg(1000)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(5)
    ->UseRealTime();
BENCHMARK(CommandLineLargest)->Unit(benchmark::kMillisecond)->Iterations(18)->UseRealTime();
BENCHMARK(HugeRequest)->Unit(benchmark::kMillisecond)->Iterations(1)->UseRealTime();

namespace {

// What the load was over the last minute, as the kernel counts it.
double LoadAverage()
{
    double load = 0;
    if (std::FILE *file = std::fopen("/proc/loadavg", "r")) {
        if (std::fscanf(file, "%lf", &load) != 1)
            load = 0;
        std::fclose(file);
    }
    return load;
}

void Summarise()
{
    std::printf("Opening many files, medians of interleaved rounds against bare text boxes "
                "(load average %.1f):\n",
                LoadAverage());
    for (const auto &[name, rounds] : races) {
        std::vector<double> editor, bare, wallRatio, processorRatio;
        for (const auto &[ours, floor] : rounds) {
            editor.push_back(ours.wall);
            bare.push_back(floor.wall);
            if (floor.wall > 0 && floor.processor > 0) {
                wallRatio.push_back(ours.wall / floor.wall);
                processorRatio.push_back(ours.processor / floor.processor);
            }
        }
        std::printf("  %-40s %8.1f ms  bare %7.1f ms  ratio %.2f (processor %.2f), %zu rounds\n",
                    name.c_str(), Median(editor) * 1000, Median(bare) * 1000, Median(wallRatio),
                    Median(processorRatio), rounds.size());
    }
    if (largestRounds.count(1) && largestRounds.count(20)) {
        std::vector<double> shown1, ready1, shown20, ready20;
        for (const auto &[shown, ready] : largestRounds[1]) {
            shown1.push_back(shown);
            ready1.push_back(ready);
        }
        for (const auto &[shown, ready] : largestRounds[20]) {
            shown20.push_back(shown);
            ready20.push_back(ready);
        }
        std::printf("  20 largest files on the command line, processor time against 1 (medians):\n"
                    "    to the frame shown %6.1f ms against %5.1f ms, ratio %.2f\n"
                    "    to every text in its box %6.1f ms against %5.1f ms, ratio %.2f\n",
                    Median(shown20) * 1000, Median(shown1) * 1000, Median(shown20) / Median(shown1),
                    Median(ready20) * 1000, Median(ready1) * 1000,
                    Median(ready20) / Median(ready1));
    }
}

} // namespace

int main(int argc, char **argv)
{
    return RunEditorBenchmarks(
        argc, argv,
        [](const QString &scratch) {
            folder = QDir(scratch).filePath(QStringLiteral("files"));
            QDir().mkpath(folder);
            for (const QString &file : SmallFiles(1000))
                WriteSmallConfig(file);
            for (int i = 0; i < 20; ++i) {
                largestFiles << QDir(folder).filePath(QStringLiteral("largest%1.cfg").arg(i));
                WriteLargestConfig(largestFiles.back());
            }
            for (const QString &file : SmallFiles(1000, QStringLiteral("txt"))) {
                QFile plain(file);
                if (plain.open(QIODevice::WriteOnly))
                    plain.write("[Unit]\r\nName=bench\r\nBaud=115200\r\n");
            }
        },
        Summarise);
}
