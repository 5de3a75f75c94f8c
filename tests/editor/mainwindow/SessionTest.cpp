// The frame and the session manager: saving the session closes nothing, the questions
// come only where the user may be asked, Cancel calls the log-off off, and only the
// manager's order to quit ends the documents.

#include "FrameFixture.h"
#include "SessionRequest.h"
#include "frmDocument.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFile>
#include <QMdiArea>

namespace {

class PlayedSession : public SessionRequest
{
public:
    explicit PlayedSession(bool allowed) : allows(allowed) {}
    bool AllowsInteraction() override
    {
        ++interactionsAsked;
        return allows;
    }
    void Cancel() override { ++cancels; }

    bool allows;
    int interactionsAsked = 0;
    int cancels = 0;
};

class SessionTest : public FrameTest
{
protected:
    // Two changed documents, as the user left them.
    void OpenTwoChanged()
    {
        Frame().show();
        for (const char *name : {"one.cfg", "two.cfg"}) {
            Frame().LoadFile(scratch.filePath(QString::fromLatin1(name)));
            Frame().ActiveDocument()->SetText(QStringLiteral("edited"));
            ASSERT_TRUE(Frame().ActiveDocument()->Changed());
        }
    }
    int OpenDocuments() { return static_cast<int>(Frame().mdiArea()->subWindowList().size()); }
};

// Stays open whatever asks it to close, so that a Quit sent to the test program leaves
// the program running.
class Stubborn : public QWidget
{
protected:
    void closeEvent(QCloseEvent *event) override { event->ignore(); }
};

} // namespace

TEST_F(SessionTest, SavingTheSessionAsksOnlyWhereAllowedAndClosesNothing)
{
    struct Case
    {
        const char *name;
        bool allows;
        std::vector<MsgAnswer> answers;
        int questions;
        int cancels;
    };
    const Case cases[] = {
        {"no interaction allowed", false, {}, 0, 0},
        {"No to both", true, {MsgAnswer::No, MsgAnswer::No}, 2, 0},
        {"Cancel on the first", true, {MsgAnswer::Cancel}, 1, 1},
        {"No, then Cancel", true, {MsgAnswer::No, MsgAnswer::Cancel}, 2, 1},
        // Yes with the save dialog cancelled: nothing was saved, so the log-off stops.
        {"Yes without a save", true, {MsgAnswer::Yes}, 1, 1},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        OpenTwoChanged();
        const std::size_t before = modal.asked().size();
        for (const MsgAnswer answer : c.answers)
            modal.AnswerMessage(answer);
        if (c.answers == std::vector<MsgAnswer>{MsgAnswer::Yes})
            modal.AnswerSave(std::nullopt);
        PlayedSession session(c.allows);
        Frame().CommitSessionData(session);
        Settle();
        int questions = 0;
        for (std::size_t i = before; i < modal.asked().size(); ++i)
            questions += modal.asked()[i].kind == ScriptedModal::Kind::Message;
        EXPECT_EQ(questions, c.questions);
        EXPECT_EQ(session.cancels, c.cancels);
        EXPECT_EQ(OpenDocuments(), 2);
        for (QMdiSubWindow *window : Frame().mdiArea()->subWindowList())
            dynamic_cast<frmDocument &>(*window).setChanged(false);
        frame.reset();
    }
    EXPECT_EQ(modal.pending(), 0u);
}

TEST_F(SessionTest, YesSavesAndTheSessionGoesOn)
{
    OpenTwoChanged();
    const QString saved = scratch.filePath(QStringLiteral("saved.cfg"));
    modal.AnswerMessage(MsgAnswer::Yes);
    modal.AnswerSave(saved);
    modal.AnswerMessage(MsgAnswer::No);
    PlayedSession session(true);
    Frame().CommitSessionData(session);
    EXPECT_EQ(session.cancels, 0);
    EXPECT_TRUE(QFile::exists(saved));
    EXPECT_EQ(OpenDocuments(), 2);
}

TEST_F(SessionTest, TheManagersOrderToQuitClosesEveryDocumentWithoutAQuestion)
{
    OpenTwoChanged();
    Stubborn keepsTheProgram;
    keepsTheProgram.show();
    QEvent quit(QEvent::Quit);
    QApplication::sendEvent(qApp, &quit);
    Settle();
    EXPECT_TRUE(modal.asked().empty());
    EXPECT_EQ(OpenDocuments(), 0);
    EXPECT_EQ(Stored("MainState"), QStringLiteral("0"));
    EXPECT_EQ(Stored("ChildState"), QStringLiteral("0"));
}
