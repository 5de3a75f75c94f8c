#pragma once
// What the editor's benchmarks share: a Modal that never shows anything, a scratch home
// so that no benchmark touches the user's settings, and a config file of the largest
// size the format allows.

#include "Modal.h"

#include <QString>

#include <functional>

class QMdiArea;
class frmDocument;

class SilentModal : public Modal
{
public:
    MsgAnswer MsgBox(QWidget *, const QString &, const QString &, int) override
    {
        return MsgAnswer::Cancel;
    }
    int Ask(QWidget *, const QuestionRequest &request) override
    {
        return static_cast<int>(request.buttons.size()) - 1;
    }
    std::optional<QString> OpenFile(QWidget *, const FileDialogRequest &) override { return {}; }
    std::optional<QString> SaveFile(QWidget *, const FileDialogRequest &) override { return {}; }
    bool Print(QWidget *, QPrinter &, const PrintRequest &) override { return false; }
    bool PageSetup(QWidget *, QPrinter &) override { return false; }
    void PrintPreview(QWidget *, QPrinter &, const std::function<void(QPrinter &)> &) override {}
    int ShowDialog(QDialog &) override { return 0; }
    std::optional<QString> InputBox(QWidget *, const QString &, const QString &,
                                    const QString &) override
    {
        return {};
    }
    void AboutQt(QWidget *) override {}
};

// Points HOME and XDG_CONFIG_HOME at a fresh folder under `root`; call before QApplication.
void UseScratchHome(const QString &root);

// Writes a config file of 65,532 bytes (32,766 plain units of CR LF lines) to `path`.
void WriteLargestConfig(const QString &path);

// Writes a short config file of a few lines to `path`.
void WriteSmallConfig(const QString &path);

// Runs the benchmarks named on the command line inside a QApplication with a scratch home
// and the editor's fonts. `prepare` gets the scratch folder before the first benchmark;
// `summarise` prints what the benchmarks gathered once they have all run.
int RunEditorBenchmarks(int argc, char **argv, const std::function<void(const QString &)> &prepare,
                        const std::function<void()> &summarise = {});

// A document window shown maximised in `area` (1000 x 700 pixels), as a user edits it.
frmDocument *ShowMaximizedDocument(QMdiArea &area, Modal &modal);
