#include "DocumentFixture.h"

#include "ScreenUnits.h"
#include "SettingsStore.h"

#include <QCoreApplication>
#include <QPlainTextEdit>
#include <QTest>
#include <QTextCursor>

namespace {

void Edit(frmDocument *document)
{
    QTextCursor cursor(document->txtScript()->document());
    cursor.insertText("edit ");
}

QString Stored(const QString &key)
{
    return GetSetting(EditorAppName, EditorSection, key, "(missing)");
}

void Store(const QString &key, const QString &value)
{
    SaveSetting(EditorAppName, EditorSection, key, value);
}

int Px(double twips, const QWidget *widget)
{
    return screenunits::TwipsToPixelsX(twips, widget);
}

int PxY(double twips, const QWidget *widget)
{
    return screenunits::TwipsToPixelsY(twips, widget);
}

bool Destroyed(const QPointer<frmDocument> &document)
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    return document.isNull();
}

} // namespace

// ---- The question before closing

TEST_F(DocumentTest, AnUnchangedDocumentClosesWithoutAQuestion)
{
    QPointer<frmDocument> document = NewDocument();
    EXPECT_TRUE(document->CloseWithReason(0));
    EXPECT_TRUE(Destroyed(document));
    EXPECT_TRUE(modal->asked().empty());
}

TEST_F(DocumentTest, CancelKeepsAChangedDocumentOpenUnlessTheSessionEnds)
{
    WriteConfig(Path("a.cfg"), "text");
    QPointer<frmDocument> document = NewDocument();
    document->LoadFile(Path("a.cfg"));
    Edit(document);

    for (int reason : {0, 1, 4}) {
        modal->AnswerMessage(MsgAnswer::Cancel);
        EXPECT_FALSE(document->CloseWithReason(reason)) << reason;
        ASSERT_FALSE(Destroyed(document));
        EXPECT_TRUE(document->isVisible());
        EXPECT_TRUE(document->Changed());
        EXPECT_EQ(document->Text(), "edit text");
    }
    const ScriptedModal::Asked &question = modal->asked().back();
    EXPECT_EQ(question.title, "Save Before Closing?");
    EXPECT_EQ(question.text, "Font file:\r\n" + Path("a.cfg") + "\r\n has changed, save it now?");
    EXPECT_EQ(question.style, MsgStyle::YesNoCancel);

    modal->AnswerMessage(MsgAnswer::Cancel);
    EXPECT_TRUE(document->CloseWithReason(2));
    EXPECT_TRUE(Destroyed(document));
    EXPECT_EQ(ReadConfig(Path("a.cfg")), "text");
}

TEST_F(DocumentTest, TheQuestionOfANeverLoadedDocumentHasAnEmptyMiddleLine)
{
    QPointer<frmDocument> document = NewDocument();
    Edit(document);
    modal->AnswerMessage(MsgAnswer::No);
    EXPECT_TRUE(document->CloseWithReason(0));
    EXPECT_EQ(modal->asked()[0].text, "Font file:\r\n\r\n has changed, save it now?");
}

TEST_F(DocumentTest, NoClosesWithoutSaving)
{
    WriteConfig(Path("a.cfg"), "text");
    QPointer<frmDocument> document = NewDocument();
    document->LoadFile(Path("a.cfg"));
    Edit(document);
    modal->AnswerMessage(MsgAnswer::No);
    area->closeAllSubWindows();
    EXPECT_TRUE(Destroyed(document));
    EXPECT_EQ(ReadConfig(Path("a.cfg")), "text");
}

TEST_F(DocumentTest, YesAlwaysAsksWhereToSaveThenCloses)
{
    WriteConfig(Path("a.cfg"), "text");
    QPointer<frmDocument> document = NewDocument();
    document->LoadFile(Path("a.cfg"));
    Edit(document);
    modal->AnswerMessage(MsgAnswer::Yes);
    modal->AnswerSave(Path("a.cfg"));
    modal->AnswerMessage(MsgAnswer::Yes); // replace the file it came from
    EXPECT_TRUE(document->CloseWithReason(0));
    EXPECT_TRUE(Destroyed(document));
    EXPECT_EQ(modal->asked()[1].file.fileName, Path("a.cfg"));
    EXPECT_EQ(ReadConfig(Path("a.cfg")), "edit text");
}

TEST_F(DocumentTest, YesThenNoSaveKeepsTheWindowOpenUnlessTheSessionEnds)
{
    QPointer<frmDocument> document = NewDocument();
    Edit(document);
    // Cancelled dialog, then a write that fails: the edits stay in the open window.
    modal->AnswerMessage(MsgAnswer::Yes);
    modal->AnswerSave(std::nullopt);
    EXPECT_FALSE(document->CloseWithReason(0));
    modal->AnswerMessage(MsgAnswer::Yes);
    modal->AnswerSave(Path("missing/x.cfg"));
    modal->AnswerMessage(MsgAnswer::OK);
    EXPECT_FALSE(document->CloseWithReason(4));
    ASSERT_FALSE(Destroyed(document));
    EXPECT_TRUE(document->Changed());

    modal->AnswerMessage(MsgAnswer::Yes);
    modal->AnswerSave(std::nullopt);
    EXPECT_TRUE(document->CloseWithReason(2));
    EXPECT_TRUE(Destroyed(document));
}

TEST_F(DocumentTest, ClosingBlanksTheFramesStatusText)
{
    QPointer<frmDocument> document = NewDocument();
    document->showMinimized();
    ASSERT_TRUE(document->CloseWithReason(0));
    EXPECT_EQ(frame.status, "");
    EXPECT_EQ(frame.calls, 1);
}

TEST_F(DocumentTest, ClosingWithoutAFrameDoesNotFail)
{
    MainWindow = nullptr;
    QPointer<frmDocument> document = NewDocument();
    EXPECT_TRUE(document->CloseWithReason(0));
    EXPECT_TRUE(Destroyed(document));
}

// ---- Placement

TEST_F(DocumentTest, WithoutStoredSettingsAWindowIs8500By5500Twips)
{
    frmDocument *document = NewDocument();
    EXPECT_EQ(document->width(), Px(8500, document));
    EXPECT_EQ(document->height(), PxY(5500, document));
    EXPECT_FALSE(document->isMaximized() || document->isMinimized());
}

TEST_F(DocumentTest, TheTextBoxCoversTheWholeInnerArea)
{
    frmDocument *document = NewDocument();
    const auto covers = [document] {
        return document->txtScript()->geometry() == document->contentsRect();
    };
    EXPECT_TRUE(QTest::qWaitFor(covers));
    document->showMaximized();
    EXPECT_TRUE(QTest::qWaitFor(covers));
    document->showNormal();
    EXPECT_TRUE(QTest::qWaitFor(covers));
}

TEST_F(DocumentTest, ANormalCloseStoresThePlacementForTheNextWindow)
{
    frmDocument *document = NewDocument();
    document->setGeometry(Px(750, document), PxY(300, document), Px(6000, document),
                          PxY(4500, document));
    ASSERT_TRUE(document->CloseWithReason(0));
    EXPECT_EQ(Stored("ChildLeft").toDouble(), 750);
    EXPECT_EQ(Stored("ChildTop").toDouble(), 300);
    EXPECT_EQ(Stored("ChildWidth").toDouble(), 6000);
    EXPECT_EQ(Stored("ChildHeight").toDouble(), 4500);
    EXPECT_EQ(Stored("ChildState"), "0");

    frmDocument *next = NewDocument();
    EXPECT_EQ(next->width(), Px(6000, next));
    EXPECT_EQ(next->height(), PxY(4500, next));
}

TEST_F(DocumentTest, OnlyTheFirstDocumentTakesTheStoredPosition)
{
    Store("ChildLeft", "1500");
    Store("ChildTop", "750");
    frmDocument *first = NewDocument(true);
    EXPECT_EQ(first->pos(), QPoint(Px(1500, first), PxY(750, first)));
    frmDocument *second = NewDocument(false);
    EXPECT_NE(second->pos(), first->pos());
}

TEST_F(DocumentTest, AMaximizedCloseStoresOnlyTheState)
{
    Store("ChildWidth", "6000");
    Store("ChildHeight", "4500");
    frmDocument *document = NewDocument();
    document->showMaximized();
    ASSERT_TRUE(document->CloseWithReason(0));
    EXPECT_EQ(Stored("ChildState"), "2");
    EXPECT_EQ(Stored("ChildWidth"), "6000");
    EXPECT_EQ(Stored("ChildLeft"), "(missing)");

    frmDocument *next = NewDocument();
    EXPECT_TRUE(next->isMaximized());
    next->showNormal();
    EXPECT_EQ(next->width(), Px(6000, next));
    EXPECT_EQ(next->height(), PxY(4500, next));
}

TEST_F(DocumentTest, AMinimizedCloseStoresNothing)
{
    Store("ChildWidth", "6000");
    Store("ChildState", "2");
    frmDocument *document = NewDocument();
    document->showMinimized();
    ASSERT_TRUE(document->isMinimized());
    ASSERT_TRUE(document->CloseWithReason(0));
    EXPECT_EQ(Stored("ChildWidth"), "6000");
    EXPECT_EQ(Stored("ChildState"), "2");
    EXPECT_EQ(Stored("ChildLeft"), "(missing)");
}

TEST_F(DocumentTest, AStoredMinimizedStateOpensMinimized)
{
    Store("ChildState", "1");
    frmDocument *document = NewDocument();
    EXPECT_TRUE(document->isMinimized());
}

TEST_F(DocumentTest, TheLastCloseDecides)
{
    frmDocument *a = NewDocument();
    frmDocument *b = NewDocument();
    a->resize(Px(3000, a), PxY(3000, a));
    b->resize(Px(4500, b), PxY(3000, b));
    ASSERT_TRUE(b->CloseWithReason(0));
    a->showMaximized();
    ASSERT_TRUE(a->CloseWithReason(0));
    EXPECT_EQ(Stored("ChildWidth").toDouble(), 4500);
    EXPECT_EQ(Stored("ChildState"), "2");
}

TEST_F(DocumentTest, GarbageSettingsFallBackToEachKeysDefault)
{
    Store("ChildLeft", "left");
    Store("ChildTop", "1e400");
    Store("ChildWidth", "-5");
    Store("ChildHeight", "3000");
    Store("ChildState", "7");
    frmDocument *document = NewDocument(true);
    EXPECT_EQ(document->pos(), QPoint(Px(500, document), PxY(200, document)));
    EXPECT_EQ(document->width(), Px(8500, document));
    EXPECT_EQ(document->height(), PxY(3000, document)) << "a good key still applies";
    EXPECT_FALSE(document->isMaximized() || document->isMinimized());
}
