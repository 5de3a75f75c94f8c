// What the editor costs at the end and while it holds many documents, each against a
// baseline built here and measured in the same run, rounds interleaved:
// - close to exit: from the frame told to close to the process gone, for an empty
//   QMainWindow, the editor with no document and the editor with 20 documents;
// - memory: the private memory of the editor with 100 documents of 32 KB against the same
//   100 texts as plain files in bare QPlainTextEdit windows of a QMdiArea.
// Each figure comes from a child process that this program starts again in the role asked.

#include "BenchSupport.h"
#include "Encryption.h"
#include "Globals.h"
#include "Main.h"
#include "Startup.h"
#include "frmMain.h"
#include "modUnicodeRW.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QMainWindow>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPlainTextEdit>
#include <QProcess>
#include <QSocketNotifier>
#include <QTemporaryDir>
#include <QWindow>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <map>
#include <unistd.h>
#include <vector>

namespace {

constexpr int ExitRounds = 15;
constexpr int MemoryRounds = 3;
constexpr int ExitDocuments = 20;
constexpr int MemoryDocuments = 100;

void WaitUntilShown(QWidget &window)
{
    while (!window.windowHandle() || !window.windowHandle()->isExposed())
        QApplication::processEvents(QEventLoop::WaitForMoreEvents);
    QApplication::processEvents();
}

// Private memory of this process in kB: what it alone holds, shared libraries' shared
// pages left out.
long PrivateKilobytes()
{
    QFile rollup(QStringLiteral("/proc/self/smaps_rollup"));
    if (!rollup.open(QIODevice::ReadOnly))
        return -1;
    long total = 0;
    for (const QByteArray &line : rollup.readAll().split('\n')) {
        if (line.startsWith("Private_Clean:") || line.startsWith("Private_Dirty:"))
            total += line.simplified().split(' ').value(1).toLong();
    }
    return total;
}

void Say(const char *line)
{
    std::fputs(line, stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

// Closes `window` when the parent writes a line.
void CloseOnRequest(QWidget &window)
{
    auto *request = new QSocketNotifier(STDIN_FILENO, QSocketNotifier::Read, &window);
    QObject::connect(request, &QSocketNotifier::activated, &window, [&window, request] {
        request->setEnabled(false);
        window.close();
    });
}

// The editor as its own main runs it, with `files` on its command line.
frmMain *StartEditor(const QStringList &files, Modal &modal)
{
    QApplication::setOrganizationName(QStringLiteral("TorvaneBench"));
    QApplication::setApplicationName(QStringLiteral("Quillon"));
    startup::InstallFontFallbacks();
    startup::InstallCachedIconStyle();
    if (Main(files, modal) != StartupResult::Shown)
        return nullptr;
    return dynamic_cast<frmMain *>(MainWindow);
}

int RunChild(const QString &role, const QStringList &files)
{
    int argc = 1;
    char name[] = "bench";
    char *argv[] = {name, nullptr};
    QApplication app(argc, argv);
    SilentModal modal;
    if (role == QLatin1String("exit-empty")) {
        QMainWindow window;
        window.show();
        WaitUntilShown(window);
        CloseOnRequest(window);
        Say("shown");
        return QApplication::exec();
    }
    if (role == QLatin1String("exit-editor")) {
        frmMain *frame = StartEditor(files, modal);
        if (!frame)
            return 1;
        WaitUntilShown(*frame);
        CloseOnRequest(*frame);
        Say("shown");
        return QApplication::exec();
    }
    if (role == QLatin1String("memory-bare")) {
        QMainWindow window;
        auto *area = new QMdiArea(&window);
        window.setCentralWidget(area);
        window.show();
        for (const QString &path : files) {
            QFile file(path);
            if (!file.open(QIODevice::ReadOnly))
                return 1;
            auto *box = new QPlainTextEdit;
            box->setPlainText(QString::fromUtf8(file.readAll()));
            area->addSubWindow(box)->show();
        }
        WaitUntilShown(window);
        Say(QByteArray::number(static_cast<qlonglong>(PrivateKilobytes())).constData());
        return 0;
    }
    if (role == QLatin1String("memory-editor")) {
        frmMain *frame = StartEditor(files, modal);
        if (!frame)
            return 1;
        WaitUntilShown(*frame);
        Say(QByteArray::number(static_cast<qlonglong>(PrivateKilobytes())).constData());
        return 0;
    }
    return 2;
}

QString program;

// Starts a child in `role`; nullptr when it did not come up.
std::unique_ptr<QProcess> Start(const QString &role, const QStringList &files, QByteArray &said)
{
    auto child = std::make_unique<QProcess>();
    // The child's warnings (the offscreen platform's among them) only when it fails.
    child->start(program, QStringList{QStringLiteral("--child"), role} + files);
    if (!child->waitForReadyRead(120000)) {
        std::fputs(child->readAllStandardError().constData(), stderr);
        return nullptr;
    }
    said = child->readLine().trimmed();
    return child;
}

// Seconds from asking the child's frame to close to the child gone; negative on failure.
double CloseToExit(const QString &role, const QStringList &files)
{
    QByteArray said;
    const auto child = Start(role, files, said);
    if (!child || said != "shown")
        return -1;
    QElapsedTimer clock;
    clock.start();
    child->write("close\n");
    if (!child->waitForFinished(120000))
        return -1;
    return static_cast<double>(clock.nsecsElapsed()) / 1e9;
}

long MemoryOf(const QString &role, const QStringList &files)
{
    QByteArray said;
    const auto child = Start(role, files, said);
    if (!child)
        return -1;
    child->waitForFinished(120000);
    return said.toLong();
}

template <typename T> T Median(std::vector<T> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// A text of `units` plain characters in short lines of key and value.
std::u16string PlainText(std::size_t units, int seed)
{
    std::u16string plain;
    for (int line = 0; plain.size() < units; ++line)
        plain += QStringLiteral("key%1=value %2 of unit %3\r\n")
                     .arg(line, 5, 10, QLatin1Char('0'))
                     .arg(line * 7)
                     .arg(seed)
                     .toStdU16String();
    plain.resize(units);
    return plain;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc >= 3 && std::strcmp(argv[1], "--child") == 0) {
        QStringList files;
        for (int i = 3; i < argc; ++i)
            files << QString::fromLocal8Bit(argv[i]);
        return RunChild(QString::fromLocal8Bit(argv[2]), files);
    }

    QTemporaryDir scratch;
    if (!scratch.isValid())
        return 2;
    UseScratchHome(scratch.path()); // inherited by every child
    QCoreApplication app(argc, argv);
    program = QCoreApplication::applicationFilePath();

    // Config files of 32 KB (16,384 units enciphered), and the same texts as plain files.
    QStringList configs;
    QStringList plains;
    for (int i = 0; i < MemoryDocuments; ++i) {
        const std::u16string plain = PlainText(16384, i);
        const QString base =
            scratch.filePath(QStringLiteral("doc%1").arg(i, 3, 10, QLatin1Char('0')));
        configs << base + QStringLiteral(".cfg");
        plains << base + QStringLiteral(".txt");
        WriteUnicodeFile(configs.last().toStdU16String(), EnCrypt(plain, DocumentKey), false);
        QFile text(plains.last());
        if (!text.open(QIODevice::WriteOnly))
            return 2;
        text.write(QString::fromStdU16String(plain).toUtf8());
    }

    const std::vector<std::pair<QString, QStringList>> exits = {
        {QStringLiteral("exit-empty"), {}},
        {QStringLiteral("exit-editor"), {}},
        {QStringLiteral("exit-editor"), configs.first(ExitDocuments)}};
    std::vector<std::vector<double>> exitTimes(exits.size());
    for (int round = 0; round < ExitRounds; ++round) {
        for (std::size_t kind = 0; kind < exits.size(); ++kind) {
            const double seconds = CloseToExit(exits[kind].first, exits[kind].second);
            if (seconds < 0) {
                std::fprintf(stderr, "a child did not come up or did not end\n");
                return 1;
            }
            exitTimes[kind].push_back(seconds);
        }
    }
    std::vector<long> bare;
    std::vector<long> editor;
    for (int round = 0; round < MemoryRounds; ++round) {
        bare.push_back(MemoryOf(QStringLiteral("memory-bare"), plains));
        editor.push_back(MemoryOf(QStringLiteral("memory-editor"), configs));
    }

    const double empty = Median(exitTimes[0]);
    std::printf("Close to exit, median of %d interleaved rounds:\n", ExitRounds);
    const char *names[] = {"empty QMainWindow", "editor, no document", "editor, 20 documents"};
    for (std::size_t kind = 0; kind < exits.size(); ++kind) {
        const double median = Median(exitTimes[kind]);
        std::printf("  %-24s %8.1f ms  ratio %.2f\n", names[kind], median * 1000, median / empty);
    }
    const long bareKb = Median(bare);
    const long editorKb = Median(editor);
    std::printf("Private memory with %d documents of 32 KB, median of %d rounds:\n",
                MemoryDocuments, MemoryRounds);
    std::printf("  %-24s %8.1f MB\n", "bare QPlainTextEdit", static_cast<double>(bareKb) / 1024);
    std::printf("  %-24s %8.1f MB  ratio %.2f\n", "editor", static_cast<double>(editorKb) / 1024,
                static_cast<double>(editorKb) / static_cast<double>(bareKb));
    return 0;
}
