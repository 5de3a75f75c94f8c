#include "Main.h"

#include "CommandLine.h"
#include "FileSearch.h"
#include "Globals.h"
#include "frmMain.h"

#include <cstdlib>
#include <memory>
#include <new>
#include <string>
#include <vector>

namespace {

constexpr std::int32_t SubscriptOutOfRange = 9;

} // namespace

StartupResult Main(const QStringList &arguments, Modal &modal)
{
    std::unique_ptr<frmMain> frame;
    try {
        std::vector<std::u16string> split;
        split.reserve(static_cast<std::size_t>(arguments.size()));
        for (const QString &argument : arguments)
            split.push_back(argument.toStdU16String());
        // Where the system keeps the line as typed, that is what is split; elsewhere it
        // is rebuilt from the arguments.
        const std::optional<std::u16string> raw = cmdline::RawCommandLine();
        const QString line = QString::fromStdU16String(raw ? *raw : cmdline::JoinArguments(split));

        const std::optional<QStringList> tokens = Tokenize(line, modal);
        if (!tokens)
            throw RunTimeError(SubscriptOutOfRange, "The command line could not be split.", "Main");
        std::vector<std::u16string> plainTokens;
        for (const QString &token : *tokens)
            plainTokens.push_back(token.toStdU16String());

        const cmdline::StartupPlan plan =
            cmdline::PlanStartup(plainTokens, [](const std::u16string &token) {
                return !fsys::FindFile(token).empty();
            });
        if (plan.help)
            return StartupResult::Ended;

        frame = std::make_unique<frmMain>(modal);
        MainWindow = frame.get();
        for (const std::u16string &file : plan.files)
            frame->LoadFile(QString::fromStdU16String(file));
        frame->show();
        // From here the frame lives until the program ends; Qt's window close ends the loop.
        frame.release();
        return StartupResult::Shown;
    } catch (const RunTimeError &error) {
        ReportError(error, QStringLiteral("Main"), modal);
    } catch (const std::bad_alloc &) {
        ReportError(RunTimeError(ErrorNumber::OutOfMemory, "Out of memory", "Main"),
                    QStringLiteral("Main"), modal);
    } catch (const std::exception &error) {
        ReportError(RunTimeError(ErrorNumber::PathFileAccess, error.what(), "Main"),
                    QStringLiteral("Main"), modal);
    }
    // A failed start-up ends the program rather than leaving it running without a window.
    MainWindow = nullptr;
    frame.reset();
    return StartupResult::Failed;
}

int ExitStatus(StartupResult result)
{
    return result == StartupResult::Failed ? EXIT_FAILURE : EXIT_SUCCESS;
}
