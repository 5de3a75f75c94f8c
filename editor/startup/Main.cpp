#include "Main.h"

#include "CommandLine.h"
#include "FileSearch.h"
#include "Globals.h"
#include "Modal.h"
#include "SettingsStore.h"
#include "SingleInstance.h"
#include "frmMain.h"

#include <QCoreApplication>
#include <QDir>

#include <cstdlib>
#include <memory>
#include <new>
#include <optional>
#include <string>
#include <vector>

namespace {

constexpr std::int32_t SubscriptOutOfRange = 9;

// Files named while an editor of this user runs open in its frame. The running editor has
// its own working folder, so each name goes over as the full path it means here.
singleinstance::HandOver HandOverToRunningEditor(const std::vector<std::u16string> &files,
                                                 int answerWaitMs)
{
    QStringList paths;
    for (const std::u16string &file : files)
        paths << QDir::cleanPath(QDir::current().absoluteFilePath(QString::fromStdU16String(file)));
    return singleinstance::HandOverFiles(paths, answerWaitMs);
}

// Whether this start should go on with a frame of its own after trying to hand its files
// over; the result it ends with otherwise.
std::optional<StartupResult> AfterHandOver(singleinstance::HandOver outcome,
                                           const std::vector<std::u16string> &files, Modal &modal)
{
    switch (outcome) {
    case singleinstance::HandOver::NoneRunning:
        return std::nullopt;
    case singleinstance::HandOver::Done:
        return StartupResult::Ended;
    case singleinstance::HandOver::NoAnswer:
        break;
    }
    // The running editor may still open them: opening them here as well would put one
    // file in two frames, each saving over the other's changes.
    if (files.empty())
        return StartupResult::Ended;
    QString names;
    for (const std::u16string &file : files)
        names += QString::fromStdU16String(file) + QStringLiteral("\r\n");
    modal.MsgBox(nullptr,
                 QCoreApplication::translate(
                     "Main", "The editor that is already running did not answer in time.\r\n\r\n"
                             "%1\r\nThese files were not opened here, so that none of them "
                             "opens in two windows. The running editor may still open them.")
                     .arg(names),
                 QCoreApplication::translate("Main", "Open"),
                 MsgStyle::OKOnly + MsgStyle::Exclamation);
    return StartupResult::Failed;
}

} // namespace

StartupResult Main(const QStringList &arguments, Modal &modal, int answerWaitMs)
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
        // Even a start that names no file it could open ends here while an editor runs:
        // that one comes to the front, and no second frame appears.
        if (const auto ended =
                AfterHandOver(HandOverToRunningEditor(plan.files, answerWaitMs), plan.files, modal))
            return *ended;

        // The frame reads a dozen settings as it is built and its documents more: the
        // store is opened once for all of them, and written once.
        const settings::WriteBatch batch;
        frame = std::make_unique<frmMain>(modal);
        MainWindow = frame.get();
        auto *server = new singleinstance::InstanceServer(frame.get());
        QObject::connect(server, &singleinstance::InstanceServer::FilesReceived, frame.get(),
                         [target = frame.get()](const QStringList &files) {
                             target->OpenFiles(files);
                             target->BringToFront();
                         });
        // Another start may have come up since nobody answered: its frame takes the files.
        if (!server->Listen()) {
            if (const auto ended = AfterHandOver(HandOverToRunningEditor(plan.files, answerWaitMs),
                                                 plan.files, modal)) {
                MainWindow = nullptr;
                return *ended;
            }
        }
        QStringList files;
        for (const std::u16string &file : plan.files)
            files << QString::fromStdU16String(file);
        frame->LoadFiles(files);
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
