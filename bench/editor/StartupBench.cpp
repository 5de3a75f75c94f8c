// From process start to the frame shown with one document of 65,532 bytes. Each run
// starts this program again as a child that does what the editor's main does and says
// "shown" once its frame is on screen; the time is the parent's wall clock from starting
// the child to reading that line, so loading the libraries counts too.

#include "BenchSupport.h"
#include "Globals.h"
#include "Main.h"
#include "Startup.h"
#include "frmMain.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>
#include <QWindow>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>

namespace {

QString program;
QString largest;

int RunChild(int argc, char **argv, const char *path)
{
    QApplication app(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("TorvaneBench"));
    QApplication::setApplicationName(QStringLiteral("Quillon"));
    startup::InstallFontFallbacks();
    SilentModal modal;
    if (Main({QString::fromLocal8Bit(path)}, modal) != StartupResult::Shown)
        return 1;
    auto *frame = dynamic_cast<frmMain *>(MainWindow);
    while (!frame->windowHandle() || !frame->windowHandle()->isExposed())
        QApplication::processEvents(QEventLoop::WaitForMoreEvents);
    QApplication::processEvents();
    std::fputs(frame->DocumentCount() == 1 ? "shown\n" : "no document\n", stdout);
    std::fflush(stdout);
    return 0;
}

void StartToFrameShown(benchmark::State &state)
{
    for (auto _ : state) {
        QProcess child;
        QElapsedTimer clock;
        clock.start();
        child.start(program, {QStringLiteral("--child"), largest});
        if (!child.waitForReadyRead(60000)) {
            state.SkipWithError("the child did not report");
            break;
        }
        const QByteArray line = child.readLine().trimmed();
        state.SetIterationTime(static_cast<double>(clock.nsecsElapsed()) / 1e9);
        child.waitForFinished(60000);
        if (line != "shown") {
            state.SkipWithError(line.constData());
            break;
        }
    }
}

} // namespace

BENCHMARK(StartToFrameShown)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(10);

int main(int argc, char **argv)
{
    if (argc == 3 && std::strcmp(argv[1], "--child") == 0) {
        int childArgc = 1;
        return RunChild(childArgc, argv, argv[2]);
    }

    QTemporaryDir scratch;
    if (!scratch.isValid())
        return 2;
    UseScratchHome(scratch.path()); // inherited by every child
    QCoreApplication app(argc, argv);
    program = QCoreApplication::applicationFilePath();
    largest = scratch.filePath(QStringLiteral("largest.cfg"));
    WriteLargestConfig(largest);

    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
