// What a keystroke costs in the longest text a config file holds (32,766 units, a few
// hundred of them characters the file would not keep).
//
// First, with the marks on those characters kept up to date and with marking off: a
// keystroke at the start shifts every later unit by one position, so every
// position-dependent character is judged again. Prints the ratio the marks are meant to
// keep (at most 2).
//
// Then key to repaint as a person sees it, in the editor's frame and in a bare
// QPlainTextEdit holding the same text in a viewport of the same size: the key goes to the
// focused widget, and the time runs until the window has finished the update in which the
// text box's viewport painted. The same units are laid out as 1,000 and as 16,000 lines,
// so that any cost that grows with the number of lines shows as a ratio that grows with
// them; a plain text, and one with signs whose marks come and go with each key. Rounds
// interleave the eight windows; the figures are medians. Goal: the frame within 1.2x the
// bare box at 16,000 lines.

#include "BenchSupport.h"
#include "Encryption.h"
#include "LossMarks.h"
#include "Startup.h"
#include "Survival.h"
#include "frmDocument.h"
#include "frmMain.h"
#include "modUnicodeRW.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QMdiArea>
#include <QPlainTextEdit>
#include <QScrollBar>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdio>
#include <map>
#include <memory>
#include <vector>

namespace {

constexpr int Units = 32766;

QString scratchFolder;

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

// Key to repaint.

constexpr std::array<int, 2> LineCounts{1000, 16000};
constexpr int Burst = 50;

// The texts of the race: plain settings, and the same with 400 degree and similar signs
// whose fate depends on where they stand.
enum class Kind { Plain, Signs };

// `Units` units as `lines` LF lines of nearly equal length, whatever the lines the same
// characters at the same units but for the breaks. The signs each survive where they
// stand, so the file opens whole and unmarked; a character typed before them moves every
// one to the next key letter, where many of them would be lost.
QString LinesText(Kind kind, int lines)
{
    constexpr int Signs = 400;
    QString text(Units, QLatin1Char('a'));
    for (int i = 0; i < Units; ++i)
        text[i] = QLatin1Char(static_cast<char>('a' + i % 26));
    for (int line = 1; line < lines; ++line)
        text[static_cast<qsizetype>(line) * Units / lines - 1] = QLatin1Char('\n');
    for (int c = 0; kind == Kind::Signs && c < Signs; ++c) {
        qsizetype at = static_cast<qsizetype>(c) * Units / Signs + 7;
        for (;; ++at) {
            if (text[at] == QLatin1Char('\n'))
                continue;
            const int keyCode = KeyCodeAt(DocumentKey, static_cast<std::size_t>(at) + 1);
            const char16_t sign = UnitSurvives(0xB0, keyCode) ? 0xB0 : 0xA6;
            if (UnitSurvives(sign, keyCode)) {
                text[at] = QChar(sign);
                break;
            }
        }
    }
    return text;
}

// Tells when a window has shown a change of its text box: the end of the window's first
// update (its widgets painted and the result handed to the screen) in which the box's
// viewport painted.
class PaintWatch : public QObject
{
public:
    PaintWatch(QWidget *window, QWidget *viewport) : m_window(window), m_viewport(viewport)
    {
        window->installEventFilter(this);
        viewport->installEventFilter(this);
        clock.start();
    }

    QElapsedTimer clock;
    int shown = 0;      // updates of the window that painted the viewport
    qint64 shownAt = 0; // nanoseconds on `clock` at the end of the last of them

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (watched == m_viewport && event->type() == QEvent::Paint)
            ++m_paints;
        if (watched != m_window || event->type() != QEvent::UpdateRequest || m_updating)
            return false;
        // The update is run from here, so that its end can be seen.
        const int before = m_paints;
        m_updating = true;
        QApplication::sendEvent(m_window, event);
        m_updating = false;
        if (m_paints > before) {
            shownAt = clock.nsecsElapsed();
            ++shown;
        }
        return true;
    }

private:
    QWidget *m_window;
    QWidget *m_viewport;
    int m_paints = 0;
    bool m_updating = false;
};

// One side of the race: a window whose text box holds the text, with its caret at the start.
struct Editor
{
    QWidget *window = nullptr;
    QPlainTextEdit *box = nullptr;
    std::unique_ptr<PaintWatch> watch;
    std::vector<double> keys;   // seconds, key to repaint
    std::vector<double> bursts; // seconds, 50 keys to repaint
    int lost = 0;               // keys that did not change the text as they should

    void Watch()
    {
        watch = std::make_unique<PaintWatch>(window, box->viewport());
        QTextCursor start = box->textCursor();
        start.setPosition(0);
        box->setTextCursor(start);
    }

    bool Focus()
    {
        window->activateWindow();
        window->raise();
        box->setFocus(Qt::OtherFocusReason);
        QElapsedTimer waited;
        waited.start();
        while (QApplication::focusWidget() != box && waited.elapsed() < 2000)
            QApplication::processEvents(QEventLoop::AllEvents, 10);
        // Whatever the switch left to paint is not part of any keystroke.
        for (int i = 0; i < 3; ++i)
            QApplication::processEvents();
        return QApplication::focusWidget() == box;
    }

    // Posts `count` presses of `key` to the focused widget, as keys typed faster than they
    // are handled queue up, and gives the time until the viewport has painted them.
    double Type(int key, const QString &text, int count)
    {
        QWidget *target = QApplication::focusWidget();
        const int characters = box->document()->characterCount();
        const int before = watch->shown;
        const qint64 start = watch->clock.nsecsElapsed();
        for (int i = 0; i < count; ++i) {
            QApplication::postEvent(target,
                                    new QKeyEvent(QEvent::KeyPress, key, Qt::NoModifier, text));
            QApplication::postEvent(target,
                                    new QKeyEvent(QEvent::KeyRelease, key, Qt::NoModifier, text));
        }
        while (watch->shown == before && watch->clock.nsecsElapsed() - start < 5'000'000'000)
            QApplication::processEvents();
        const auto took = static_cast<double>(watch->shownAt - start) * 1e-9;
        // The queue may hold more than the keys; whatever is left is not timed. Work that
        // follows the repaint (the status bar's panels) may take more than one pass of the
        // queue, and left there it would be timed with the next key instead, as it never is
        // between the keys a person types.
        QApplication::processEvents(QEventLoop::AllEvents, 50);
        const int grown = box->document()->characterCount() - characters;
        if (grown != (key == Qt::Key_Backspace ? -count : count))
            ++lost;
        return took;
    }

    // Alternately types a character and takes it back, so that the text stays the same.
    void Round(int keystrokes)
    {
        for (int i = 0; i < keystrokes; ++i) {
            keys.push_back(i % 2 == 0 ? Type(Qt::Key_X, QStringLiteral("x"), 1)
                                      : Type(Qt::Key_Backspace, QString(), 1));
        }
        bursts.push_back(Type(Qt::Key_X, QStringLiteral("x"), Burst));
        bursts.push_back(Type(Qt::Key_Backspace, QString(), Burst));
    }
};

double Median(std::vector<double> values)
{
    if (values.empty())
        return 0;
    std::ranges::sort(values);
    return values[values.size() / 2];
}

struct Figures
{
    double frameKey = 0;
    double bareKey = 0;
    double frameBurst = 0;
    double bareBurst = 0;
};
std::map<std::pair<Kind, int>, Figures> keyToRepaint; // by text and lines

void BM_KeyToRepaint(benchmark::State &state)
{
    SilentModal modal;
    struct Pair
    {
        Kind kind = Kind::Plain;
        int lines = 0;
        std::unique_ptr<frmMain> frame;
        std::unique_ptr<QPlainTextEdit> bare;
        Editor quillon;
        Editor plain;
    };
    std::vector<std::unique_ptr<Pair>> pairs;
    for (const Kind kind : {Kind::Plain, Kind::Signs}) {
        for (const int lines : LineCounts) {
            auto pair = std::make_unique<Pair>();
            pair->kind = kind;
            pair->lines = lines;
            const QString text = LinesText(kind, lines);
            const QString path =
                QDir(scratchFolder)
                    .filePath(
                        QStringLiteral("lines%1-%2.cfg").arg(lines).arg(static_cast<int>(kind)));
            WriteUnicodeFile(path.toStdU16String(), EnCrypt(text.toStdU16String(), DocumentKey),
                             false);

            pair->frame = std::make_unique<frmMain>(modal);
            pair->frame->resize(1000, 700);
            pair->frame->show();
            pair->frame->LoadFile(path);
            frmDocument *document = pair->frame->ActiveDocument();
            if (!document || document->Text() != text) {
                state.SkipWithError("the document did not open whole");
                return;
            }
            document->showMaximized();
            pair->quillon.window = pair->frame.get();
            pair->quillon.box = document->txtScript();

            // The same text, font and wrapping in a viewport of the same size.
            pair->bare = std::make_unique<QPlainTextEdit>();
            pair->bare->setFont(document->txtScript()->font());
            pair->bare->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
            pair->bare->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
            pair->bare->setLineWrapMode(QPlainTextEdit::WidgetWidth);
            pair->bare->setPlainText(text);
            pair->bare->show();
            QApplication::processEvents();
            const QSize want = document->txtScript()->viewport()->size();
            pair->bare->resize(pair->bare->size() + want - pair->bare->viewport()->size());
            pair->plain.window = pair->bare.get();
            pair->plain.box = pair->bare.get();

            pair->quillon.Watch();
            pair->plain.Watch();
            pairs.push_back(std::move(pair));
        }
    }
    QApplication::processEvents();

    constexpr int Rounds = 12;
    constexpr int KeysPerRound = 10;
    for (auto _ : state) {
        for (int round = 0; round < Rounds; ++round) {
            for (auto &pair : pairs) {
                // Which one goes first alternates, so that neither always follows the
                // other's leftovers.
                Editor *order[2] = {&pair->quillon, &pair->plain};
                if (round % 2 == 1)
                    std::swap(order[0], order[1]);
                for (Editor *editor : order) {
                    if (!editor->Focus()) {
                        state.SkipWithError("the text box did not take the focus");
                        return;
                    }
                    editor->Round(KeysPerRound);
                }
            }
        }
    }
    for (auto &pair : pairs) {
        if (pair->quillon.lost + pair->plain.lost > 0) {
            state.SkipWithError("a key did not reach the text box");
            return;
        }
        const QString text = LinesText(pair->kind, pair->lines);
        if (pair->frame->ActiveDocument()->Text() != text || pair->bare->toPlainText() != text) {
            state.SkipWithError("the keystrokes did not leave the text as it was");
            return;
        }
        Figures &f = keyToRepaint[{pair->kind, pair->lines}];
        f.frameKey = Median(pair->quillon.keys);
        f.bareKey = Median(pair->plain.keys);
        f.frameBurst = Median(pair->quillon.bursts);
        f.bareBurst = Median(pair->plain.bursts);
        const QString name =
            QStringLiteral("%1 %2 lines ")
                .arg(pair->kind == Kind::Plain ? QStringLiteral("plain") : QStringLiteral("signs"))
                .arg(pair->lines);
        state.counters[(name + QStringLiteral("key")).toStdString()] = f.frameKey / f.bareKey;
        state.counters[(name + QStringLiteral("burst")).toStdString()] = f.frameBurst / f.bareBurst;
        pair->frame->ActiveDocument()->setChanged(false);
    }
}

void PrintKeyToRepaint()
{
    if (keyToRepaint.size() != 2 * LineCounts.size())
        return;
    std::printf("key to repaint at the start of %d units, medians; frame = the editor, bare = "
                "a QPlainTextEdit with the same text in the same run:\n",
                Units);
    std::printf("  %-6s %-6s %10s %10s %7s   %13s %13s %7s\n", "text", "lines", "frame key",
                "bare key", "ratio", "frame 50 keys", "bare 50 keys", "ratio");
    for (const auto &[which, f] : keyToRepaint) {
        std::printf("  %-6s %-6d %7.3f ms %7.3f ms %6.2fx   %10.2f ms %10.2f ms %6.2fx\n",
                    which.first == Kind::Plain ? "plain" : "signs", which.second, f.frameKey * 1e3,
                    f.bareKey * 1e3, f.frameKey / f.bareKey, f.frameBurst * 1e3, f.bareBurst * 1e3,
                    f.frameBurst / f.bareBurst);
    }
    for (const Kind kind : {Kind::Plain, Kind::Signs}) {
        const Figures &few = keyToRepaint[{kind, LineCounts.front()}];
        const Figures &many = keyToRepaint[{kind, LineCounts.back()}];
        std::printf("  %s, %d against %d lines: frame key %.2fx, bare key %.2fx; frame 50 "
                    "keys %.2fx, bare 50 keys %.2fx\n",
                    kind == Kind::Plain ? "plain" : "signs", LineCounts.back(), LineCounts.front(),
                    many.frameKey / few.frameKey, many.bareKey / few.bareKey,
                    many.frameBurst / few.frameBurst, many.bareBurst / few.bareBurst);
    }
    const Figures &goal = keyToRepaint[{Kind::Plain, LineCounts.back()}];
    std::printf("  goal: plain frame key within 1.2x the bare box at %d lines (now %.2fx)\n",
                LineCounts.back(), goal.frameKey / goal.bareKey);
}

} // namespace

BENCHMARK(BM_KeystrokeAtTheStart)
    ->ArgName("marking")
    ->Arg(0)
    ->Arg(1)
    ->Iterations(300)
    ->Repetitions(3)
    ->UseManualTime()
    ->Unit(benchmark::kMicrosecond);

BENCHMARK(BM_KeyToRepaint)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();

int main(int argc, char **argv)
{
    return RunEditorBenchmarks(
        argc, argv, [](const QString &scratch) { scratchFolder = scratch; },
        [] {
            if (secondsPerKeystroke.size() == 2 && secondsPerKeystroke[false] > 0) {
                const double off = secondsPerKeystroke[false];
                const double on = secondsPerKeystroke[true];
                std::printf("keystroke at the start of %d units: marking on %.1f us, off %.1f "
                            "us\n",
                            Units, on * 1e6, off * 1e6);
                std::printf("marking on/off: %.2fx (goal: at most 2x); with marking %.3f ms "
                            "(goal: under 1 ms)\n",
                            on / off, on * 1e3);
            }
            PrintKeyToRepaint();
        });
}
