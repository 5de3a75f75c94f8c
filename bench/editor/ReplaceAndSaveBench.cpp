// The cost of Save answered with "Replace and Save" in a document with 5,000, 10,000 and
// 30,000 marked characters (goal: each under a second, and growing no faster than the
// marks do). The replacements go into the text box as one undoable edit, which is where
// the time went when each one moved every mark after it.

#include "BenchSupport.h"
#include "LossMarks.h"
#include "Startup.h"
#include "frmDocument.h"

#include <QApplication>
#include <QMdiArea>

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <map>

namespace {

QString Scratch;
std::map<int, double> secondsByMarks; // best time, by marked characters

// Answers the loss question with its first button, "Replace and Save", and any other
// question with Yes.
class ReplacingModal : public SilentModal
{
public:
    MsgAnswer MsgBox(QWidget *, const QString &, const QString &, int) override
    {
        return MsgAnswer::Yes;
    }
    int Ask(QWidget *, const QuestionRequest &) override { return 0; }
};

// CR LF lines of 60 characters, each an accented letter the file would not keep.
QString MarkedText(int marks)
{
    QString text;
    for (int i = 0; i < marks; ++i) {
        text += QChar(0x00E9);
        if (i % 60 == 59)
            text += QStringLiteral("\r\n");
    }
    return text;
}

void BM_ReplaceAndSave(benchmark::State &state)
{
    const int marks = static_cast<int>(state.range(0));
    ReplacingModal modal;
    QMdiArea area;
    frmDocument *document = ShowMaximizedDocument(area, modal);
    document->FileName = Scratch + QStringLiteral("/replaced.cfg");
    const QString text = MarkedText(marks);
    double best = 0;
    for (auto _ : state) {
        document->SetText(text);
        QApplication::processEvents();
        if (document->Marks()->Count() != marks) {
            state.SkipWithError("the text is not marked as expected");
            break;
        }
        const auto begin = std::chrono::steady_clock::now();
        document->Save();
        QApplication::processEvents(); // the repaint the replacement asks for
        const std::chrono::duration<double> took = std::chrono::steady_clock::now() - begin;
        state.SetIterationTime(took.count());
        if (best == 0 || took.count() < best)
            best = took.count();
        if (document->Marks()->Count() != 0 || document->Changed())
            state.SkipWithError("the save left marks or the document unsaved");
    }
    secondsByMarks[marks] = best;
    document->setChanged(false);
}

} // namespace

BENCHMARK(BM_ReplaceAndSave)
    ->ArgName("marks")
    ->Arg(5000)
    ->Arg(10000)
    ->Arg(30000)
    ->Iterations(3)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

int main(int argc, char **argv)
{
    return RunEditorBenchmarks(
        argc, argv, [](const QString &scratch) { Scratch = scratch; },
        [] {
            for (const auto &[marks, seconds] : secondsByMarks)
                std::printf(
                    "Replace and Save with %d marked characters: %.3f s (goal: under 1 s)\n", marks,
                    seconds);
        });
}
