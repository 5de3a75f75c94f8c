#include "Globals.h"

#include "Modal.h"
#include "Tokenize.h"

#include <QCoreApplication>

#include <new>

MainFrame *MainWindow = nullptr;

void ReportError(const RunTimeError &error, const QString &source, Modal &modal)
{
    modal.MsgBox(nullptr, QString::fromStdString(error.Description),
                 QCoreApplication::translate("ReportError", "Error in: %1").arg(source),
                 MsgStyle::Information);
}

std::optional<QStringList> Tokenize(const QString &line, Modal &modal)
{
    try {
        QStringList tokens;
        for (const std::u16string &token : cmdline::Tokenize(line.toStdU16String()))
            tokens.append(QString::fromStdU16String(token));
        return tokens;
    } catch (const RunTimeError &error) {
        ReportError(error, QStringLiteral("Tokenize"), modal);
    } catch (const std::bad_alloc &) {
        ReportError(RunTimeError(ErrorNumber::OutOfMemory, "Out of memory", "Tokenize"),
                    QStringLiteral("Tokenize"), modal);
    }
    return std::nullopt;
}
