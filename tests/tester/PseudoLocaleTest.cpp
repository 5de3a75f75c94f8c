// The tester in a pseudo-language: every text its window, menus, status panels, log and
// dialogs show a person comes from its catalogue; the device's own command names stay.

#include "PseudoLocale.h"
#include "CommandTable.h"
#include "LogView.h"
#include "QtText.h"
#include "SimulatedUnit.h"
#include "TesterWindow.h"
#include "Torvane.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QMenu>

#include <optional>

namespace {

class PseudoTester : public TesterWindow
{
protected:
    void SetUp() override
    {
        speaking.emplace(QStringLiteral("probator"));
        TesterWindow::SetUp();
        auto *torvane = new Torvane;
        torvane->SetPace(0);
        Open(torvane);
        Switch("mnuSimulate")->trigger();
    }
    void TearDown() override
    {
        TesterWindow::TearDown();
        speaking.reset();
    }

    // What the simulated unit itself says while it reads its serial number: a unit's
    // words, which reach the window as they left the unit.
    static QStringList UnitWords()
    {
        QStringList words;
        const auto exchange =
            SimulatedExchangeFor(1, QStringLiteral("an in-process line"), QStringLiteral("none"));
        for (const SimulatedStep &step : exchange->steps) {
            if (step.kind == SimulatedStep::Kind::Message ||
                step.kind == SimulatedStep::Kind::Status)
                words << step.text;
        }
        return words;
    }

    // The list holds the device's commands by the names the unit and the sequences use;
    // the log's own commands are Qt's; the record switch's tip is the records' folder.
    static bool NotOurs(const QObject &owner, const QString &text)
    {
        if (UnitWords().contains(text) || text.startsWith(QLatin1Char('/')))
            return true;
        if (owner.objectName() == QLatin1String("cmbCommand")) {
            for (const tester::Command &command : tester::CommandTable()) {
                if (tester::ToQString(command.name) == text)
                    return true;
            }
        }
        return owner.objectName().startsWith(QLatin1String("edit-")) ||
               owner.objectName() == QLatin1String("select-all");
    }

    std::optional<pseudolocale::Speaking> speaking;
};

} // namespace

TEST_F(PseudoTester, NoTextOfTheWindowItsLogOrItsDialogsStaysPlainEnglish)
{
    SendEntry(0);
    ASSERT_TRUE(window->LogText().contains(QStringLiteral("⟧"))) << window->LogText().toStdString();
    // The stamps are the locale's dates and times, Qt's words.
    QString logged = window->LogText().remove(Stamp);
    for (const QString &words : UnitWords())
        logged.remove(words);
    EXPECT_FALSE(pseudolocale::IsPlain(logged)) << logged.toStdString();
    EXPECT_FALSE(pseudolocale::IsPlain(window->PanelText(1))) << window->PanelText(1).toStdString();

    LogView *log = Find<LogView>("txtMessages");
    QContextMenuEvent click(QContextMenuEvent::Mouse, QPoint(10, 10),
                            log->viewport()->mapToGlobal(QPoint(10, 10)));
    QApplication::sendEvent(log->viewport(), &click);
    auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
    ASSERT_NE(menu, nullptr);
    QStringList plain = pseudolocale::PlainTexts(*window, NotOurs);
    plain << pseudolocale::PlainTexts(*menu, NotOurs);
    modal.AnswerSave(std::nullopt);
    menu->findChild<QAction *>(QStringLiteral("mnuSaveLogAs"))->trigger();
    menu->close();
    EXPECT_TRUE(plain.isEmpty()) << plain.join(QLatin1Char('\n')).toStdString();
    ASSERT_EQ(modal.asked().size(), 1u);
    EXPECT_FALSE(pseudolocale::IsPlain(modal.asked()[0].file.title));
    EXPECT_FALSE(pseudolocale::IsPlain(modal.asked()[0].file.filter));
}
