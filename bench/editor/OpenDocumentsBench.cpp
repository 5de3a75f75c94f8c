// Opening 100 config files of the largest size the format allows (65,532 bytes) into one
// frame, one document window each, as File > Open or the command line does. The baseline,
// raced in the same rounds, opens the same text stored as plain UTF-8 into 100 bare
// QPlainTextEdit windows of a QMdiArea: what any plain-text editor has to do at least.

#include "BenchSupport.h"
#include "Encryption.h"
#include "Startup.h"
#include "frmDocument.h"
#include "frmMain.h"
#include "modUnicodeRW.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPlainTextEdit>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <vector>

namespace {

constexpr int Documents = 100;

QString largest;
QString plainCopy;
std::vector<double> editorSeconds;
std::vector<double> bareSeconds;

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values.empty() ? 0 : values[values.size() / 2];
}

double OpenInEditor(benchmark::State &state, Modal &modal)
{
    QElapsedTimer clock;
    clock.start();
    auto frame = std::make_unique<frmMain>(modal);
    frame->show();
    for (int i = 0; i < Documents; ++i)
        frame->LoadFile(largest);
    QApplication::processEvents();
    const double seconds = static_cast<double>(clock.nsecsElapsed()) / 1e9;
    if (frame->DocumentCount() != Documents || frame->ActiveDocument()->Text().size() != 32766)
        state.SkipWithError("the documents did not open whole");
    return seconds;
}

double OpenBare()
{
    QElapsedTimer clock;
    clock.start();
    QMdiArea area;
    area.resize(1000, 700);
    area.show();
    for (int i = 0; i < Documents; ++i) {
        QFile file(plainCopy);
        if (!file.open(QIODevice::ReadOnly))
            return 0;
        auto *box = new QPlainTextEdit;
        box->setPlainText(QString::fromUtf8(file.readAll()));
        area.addSubWindow(box)->show();
    }
    QApplication::processEvents();
    return static_cast<double>(clock.nsecsElapsed()) / 1e9;
}

void OpenHundredDocuments(benchmark::State &state)
{
    SilentModal modal;
    for (auto _ : state) {
        // Rounds alternate which goes first, so neither always meets a warmer cache.
        const bool editorFirst = editorSeconds.size() % 2 == 0;
        const double bare = editorFirst ? 0 : OpenBare();
        const double editor = OpenInEditor(state, modal);
        bareSeconds.push_back(editorFirst ? OpenBare() : bare);
        editorSeconds.push_back(editor);
        state.SetIterationTime(editor);
    }
    state.counters["documents/s"] = benchmark::Counter(
        Documents * static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}

} // namespace

BENCHMARK(OpenHundredDocuments)->Unit(benchmark::kMillisecond)->Iterations(7)->UseManualTime();

int main(int argc, char **argv)
{
    return RunEditorBenchmarks(
        argc, argv,
        [](const QString &scratch) {
            largest = QDir(scratch).filePath(QStringLiteral("largest.cfg"));
            WriteLargestConfig(largest);
            plainCopy = QDir(scratch).filePath(QStringLiteral("largest.txt"));
            QFile out(plainCopy);
            const std::u16string text =
                DeCrypt(ReadUnicodeFile(largest.toStdU16String(), false), DocumentKey);
            if (out.open(QIODevice::WriteOnly))
                out.write(QString::fromStdU16String(text).toUtf8());
        },
        [] {
            const double editor = Median(editorSeconds);
            const double bare = Median(bareSeconds);
            std::printf("Opening %d documents of 65,532 bytes, median of %zu interleaved rounds:\n"
                        "  bare QPlainTextEdit windows %8.1f ms\n"
                        "  editor                      %8.1f ms  ratio %.2f\n",
                        Documents, editorSeconds.size(), bare * 1000, editor * 1000,
                        bare > 0 ? editor / bare : 0.0);
        });
}
