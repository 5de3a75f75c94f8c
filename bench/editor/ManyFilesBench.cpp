// What a double-click storm asks of the running editor: many files handed over at once
// (each opened and remembered), the frame closed with all of them open, and a hostile
// same-user client sending a request of megabytes to the hand-over socket.

#include "BenchSupport.h"
#include "Globals.h"
#include "Main.h"
#include "SingleInstance.h"
#include "Startup.h"
#include "frmMain.h"

#include <QApplication>
#include <QDataStream>
#include <QDir>
#include <QLocalSocket>

#include <benchmark/benchmark.h>

#include <ctime>
#include <memory>

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

QStringList SmallFiles(int count)
{
    QStringList files;
    for (int i = 0; i < count; ++i)
        files << QDir(folder).filePath(QStringLiteral("f%1.cfg").arg(i, 4, 10, QLatin1Char('0')));
    return files;
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
    for (auto _ : state) {
        auto frame = std::make_unique<frmMain>(modal);
        frame->show();
        QApplication::processEvents();
        auto start = std::chrono::steady_clock::now();
        const double processorBefore = ProcessorSeconds();
        frame->OpenFiles(files);
        QApplication::processEvents();
        openProcessor += ProcessorSeconds() - processorBefore;
        auto middle = std::chrono::steady_clock::now();
        const double exitBefore = ProcessorSeconds();
        frame->close();
        QApplication::processEvents();
        exitProcessor += ProcessorSeconds() - exitBefore;
        auto end = std::chrono::steady_clock::now();
        openSeconds += std::chrono::duration<double>(middle - start).count();
        exitSeconds += std::chrono::duration<double>(end - middle).count();
        state.PauseTiming();
        frame.reset();
        QApplication::processEvents();
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
    for (auto _ : state) {
        const double before = ProcessorSeconds();
        if (Main(files, modal) != StartupResult::Shown) {
            state.SkipWithError("no frame");
            return;
        }
        auto *frame = dynamic_cast<frmMain *>(MainWindow);
        QApplication::processEvents();
        processor += ProcessorSeconds() - before;
        state.PauseTiming();
        MainWindow = nullptr;
        delete frame;
        QApplication::processEvents();
        state.ResumeTiming();
    }
    state.counters["cpu_s"] = processor / static_cast<double>(state.iterations());
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
        QLocalSocket client;
        client.connectToServer(singleinstance::ServerName());
        client.waitForConnected(1000);
        client.write(request);
        // The client's side is written in pieces as the editor reads; the editor's whole
        // handling is what the user waits for.
        while (client.state() == QLocalSocket::ConnectedState) {
            client.waitForBytesWritten(10);
            QApplication::processEvents();
            client.waitForReadyRead(10);
            client.readAll();
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
    ->Iterations(1)
    ->UseRealTime();
BENCHMARK(CommandLine)
    ->Arg(100)
    ->Arg(1000)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->UseRealTime();
BENCHMARK(HugeRequest)->Unit(benchmark::kMillisecond)->Iterations(1)->UseRealTime();

int main(int argc, char **argv)
{
    return RunEditorBenchmarks(argc, argv, [](const QString &scratch) {
        folder = QDir(scratch).filePath(QStringLiteral("files"));
        QDir().mkpath(folder);
        for (const QString &file : SmallFiles(1000))
            WriteSmallConfig(file);
    });
}
