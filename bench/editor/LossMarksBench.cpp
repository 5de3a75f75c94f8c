// The cost of one keystroke at the start of the longest text a config file holds (32,766
// units, a few hundred of them characters the file would not keep), with the marks on
// those characters kept up to date and with marking off. Each keystroke shifts every
// later unit by one position, so every position-dependent character is judged again.
// Prints the ratio the marks are meant to keep (at most 2) and the time with marks (goal:
// under a millisecond).

#include "BenchSupport.h"
#include "LossMarks.h"
#include "Startup.h"
#include "frmDocument.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMdiArea>
#include <QPlainTextEdit>

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <map>

namespace {

constexpr int Units = 32766;

std::map<bool, double> secondsPerKeystroke; // best mean, by marking on

// CR LF lines of settings; every fifth line carries a character the file would not keep
// (typographic quotes and accents, lost everywhere, and degree and micro signs, whose fate
// depends on their position).
QString LongText(int *candidates)
{
    const QString odd[] = {QStringLiteral("\u201C"), QStringLiteral("\u00E9"),
                           QStringLiteral("\u00B0"), QStringLiteral("\u00B5")};
    QString text;
    *candidates = 0;
    for (int line = 0; text.size() < Units; ++line) {
        text += QStringLiteral("key%1=value %2 for the device")
                    .arg(line, 5, 10, QLatin1Char('0'))
                    .arg(line * 7);
        if (line % 5 == 0) {
            text += odd[line % 4];
            ++*candidates;
        }
        text += QStringLiteral("\r\n");
    }
    text.truncate(Units);
    return text;
}

void Key(QWidget *target, int key, const QString &text)
{
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
    QApplication::sendEvent(target, &press);
    QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, text);
    QApplication::sendEvent(target, &release);
    QApplication::processEvents(); // the repaint the keystroke asks for
}

void BM_KeystrokeAtTheStart(benchmark::State &state)
{
    const bool marking = state.range(0) != 0;
    SilentModal modal;
    QMdiArea area;
    frmDocument *document = ShowMaximizedDocument(area, modal);
    int candidates = 0;
    document->SetText(LongText(&candidates));
    document->Marks()->SetEnabled(marking);
    QPlainTextEdit *box = document->txtScript();
    QTextCursor start = box->textCursor();
    start.setPosition(0);
    box->setTextCursor(start);
    box->setFocus();
    QApplication::processEvents();

    double total = 0;
    std::int64_t keystrokes = 0;
    for (auto _ : state) {
        // A character typed and taken back again: two keystrokes, each of which moves every
        // later unit by one position.
        const auto begin = std::chrono::steady_clock::now();
        Key(box, Qt::Key_X, QStringLiteral("x"));
        Key(box, Qt::Key_Backspace, QString());
        const std::chrono::duration<double> took = std::chrono::steady_clock::now() - begin;
        state.SetIterationTime(took.count());
        total += took.count();
        keystrokes += 2;
    }
    if (document->Text().size() != Units)
        state.SkipWithError("the keystrokes did not leave the text as it was");
    state.counters["marks"] = document->Marks()->Count();
    state.counters["candidates"] = candidates;
    const double mean = total / static_cast<double>(keystrokes);
    auto [it, added] = secondsPerKeystroke.try_emplace(marking, mean);
    if (!added && mean < it->second)
        it->second = mean;
    document->setChanged(false);
}

} // namespace

BENCHMARK(BM_KeystrokeAtTheStart)
    ->ArgName("marking")
    ->Arg(0)
    ->Arg(1)
    ->Iterations(300)
    ->Repetitions(5)
    ->UseManualTime()
    ->Unit(benchmark::kMicrosecond);

int main(int argc, char **argv)
{
    return RunEditorBenchmarks(argc, argv, {}, [] {
        if (secondsPerKeystroke.size() != 2 || secondsPerKeystroke[false] <= 0)
            return;
        const double off = secondsPerKeystroke[false];
        const double on = secondsPerKeystroke[true];
        std::printf("keystroke at the start of %d units: marking on %.1f us, off %.1f us\n", Units,
                    on * 1e6, off * 1e6);
        std::printf("marking on/off: %.2fx (goal: at most 2x); with marking %.3f ms (goal: "
                    "under 1 ms)\n",
                    on / off, on * 1e3);
    });
}
