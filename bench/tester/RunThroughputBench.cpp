// A sequence of 1,000 Read ESN run as probator --run runs it, against torvane-unit
// --pace 0 on a pseudo-terminal: commands per second, the bytes each command puts on the
// line, the time those bytes take on a real line at 115200 baud, and the tester's own
// processor time per command, which is what it adds beyond the line's time.

#include "Sequence.h"
#include "SequenceRun.h"
#include "Torvane.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>

#include <cstdio>
#include <string>

#include <sys/resource.h>

namespace {

constexpr int Commands = 1000;

double CpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    const auto seconds = [](const timeval &t) {
        return double(t.tv_sec) + double(t.tv_usec) / 1e6;
    };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

// Bytes the unit has read and written so far, from the kernel's count.
std::pair<long long, long long> UnitBytes(qint64 pid)
{
    QFile io(QStringLiteral("/proc/%1/io").arg(pid));
    long long read = -1, written = -1;
    if (io.open(QIODevice::ReadOnly)) {
        for (const QByteArray &line : io.readAll().split('\n')) {
            if (line.startsWith("rchar: "))
                read = line.mid(7).toLongLong();
            else if (line.startsWith("wchar: "))
                written = line.mid(7).toLongLong();
        }
    }
    return {read, written};
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QProcess unit;
    unit.start(QStringLiteral(TORVANE_UNIT), {QStringLiteral("--pace"), QStringLiteral("0")});
    QString port;
    while (port.isEmpty() && unit.waitForReadyRead(10000)) {
        const QString line = QString::fromLocal8Bit(unit.readLine()).trimmed();
        if (line.startsWith(QStringLiteral("Torvane unit on ")))
            port = line.mid(16);
    }
    if (port.isEmpty()) {
        std::fprintf(stderr, "torvane-unit did not start\n");
        return 1;
    }

    std::string text;
    for (int i = 0; i < Commands; ++i)
        text += "Read ESN  expect ESN ~ ^[0-9A-F]{8}$\n";
    tester::Sequence sequence = tester::ReadSequence("bench.seq", text);
    Torvane device;
    device.SetPort(port);
    // The first command opens the line and shakes hands; the figures are for the rest.
    if (!device.ExecuteCommand(1).Success) {
        std::fprintf(stderr, "the first Read ESN failed\n");
        return 1;
    }
    SequenceRun run(device, std::move(sequence), false);
    QByteArray out; // stands for standard output: every entry is formatted and encoded
    run.OnEntry([&out](const QString &entry) {
        out = entry.toUtf8();
        out += '\n';
    });
    unit.readAllStandardOutput();
    const auto [read0, written0] = UnitBytes(unit.processId());
    QElapsedTimer wall;
    const double cpu0 = CpuSeconds();
    wall.start();
    const bool passed = run.Run();
    const double seconds = double(wall.nsecsElapsed()) / 1e9;
    const double cpu = CpuSeconds() - cpu0;
    const auto [read1, written1] = UnitBytes(unit.processId());
    // What the unit printed on its standard output is no part of the line.
    const long long printed = unit.readAllStandardOutput().size();
    const double lineBytes = double((read1 - read0) + (written1 - written0 - printed)) / Commands;
    // 10 bits a byte at 8,N,1.
    const double lineMs = lineBytes * 10.0 / 115200.0 * 1000.0;
    unit.terminate();
    unit.waitForFinished(5000);

    std::printf("%d Read ESN on a pseudo-terminal: %s\n", Commands,
                passed ? "all passed" : "FAILED");
    std::printf("  %.3f s, %.0f commands per second, %.3f ms a command\n", seconds,
                Commands / seconds, seconds * 1000.0 / Commands);
    std::printf("  %.0f bytes on the line a command: %.2f ms at 115200 baud\n", lineBytes, lineMs);
    std::printf("  the tester's own processor time: %.3f ms a command (aim: under 2 ms)\n",
                cpu * 1000.0 / Commands);
    return passed ? 0 : 1;
}
