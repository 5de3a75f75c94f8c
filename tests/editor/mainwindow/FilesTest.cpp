// Files from the desktop: dropped on the frame, and open documents' files changed or
// removed by other programs.

#include "AsPerson.h"
#include "Encryption.h"
#include "FrameFixture.h"
#include "frmDocument.h"
#include "modUnicodeRW.h"

#include <QApplication>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QMdiArea>
#include <QMenu>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPointer>
#include <QSignalSpy>
#include <QTest>
#include <QUrl>

namespace {

// What another program does: write a whole new config file in the file's place.
void WriteConfig(const QString &path, const QString &text)
{
    WriteUnicodeFile(path.toStdU16String(), EnCrypt(text.toStdU16String(), DocumentKey), false);
}

QString ReadConfig(const QString &path)
{
    return QString::fromStdU16String(
        DeCrypt(ReadUnicodeFile(path.toStdU16String(), false), DocumentKey));
}

template <typename Event> bool Send(QWidget *target, const QMimeData &data)
{
    Event event(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &event);
    return event.isAccepted();
}

QStringList Opened(const frmMain &frame)
{
    QStringList files;
    for (QMdiSubWindow *window : frame.mdiArea()->subWindowList(QMdiArea::CreationOrder))
        files << qobject_cast<frmDocument *>(window)->FileName;
    return files;
}

} // namespace

class FilesTest : public FrameTest
{
protected:
    frmDocument &Open(const QString &name, const QString &text)
    {
        const QString path = scratch.filePath(name);
        WriteConfig(path, text);
        Frame().LoadFile(path);
        Frame().show();
        Activate(Frame());
        return *Frame().ActiveDocument();
    }

    static void Activate(QWidget &window)
    {
        window.show();
        window.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    }

    // The user goes to another program and comes back; waits for the questions expected.
    void ComeBack(std::size_t questionsAfter)
    {
        Activate(other);
        Activate(Frame());
        EXPECT_TRUE(QTest::qWaitFor([&] { return modal.asked().size() >= questionsAfter; }));
        QCoreApplication::processEvents();
        EXPECT_EQ(modal.asked().size(), questionsAfter);
    }

    // Waits until the file system's notice of a change of `document`'s file has come.
    static void NoticeArrives(QSignalSpy &touched)
    {
        EXPECT_TRUE(touched.count() > 0 || touched.wait(5000));
        QCoreApplication::processEvents();
    }

    QWidget other;
};

TEST_F(FilesTest, DroppedFilesOpenEachAsOpenDoes)
{
    const QString a = scratch.filePath("a.cfg");
    const QString b = scratch.filePath("b.ini");
    WriteConfig(a, "text of a");
    WriteConfig(b, "text of b");
    QMimeData files;
    files.setUrls({QUrl::fromLocalFile(a), QUrl::fromLocalFile(scratch.path()),
                   QUrl(QStringLiteral("https://example.org/c.cfg")), QUrl::fromLocalFile(b)});
    Frame().show();

    // On the empty area of the frame.
    EXPECT_TRUE(Send<QDragEnterEvent>(Frame().mdiArea()->viewport(), files));
    EXPECT_TRUE(Send<QDropEvent>(Frame().mdiArea()->viewport(), files));
    EXPECT_EQ(Opened(Frame()), (QStringList{a, b}));
    EXPECT_EQ(Frame().ActiveDocument()->Text(), "text of b");
    EXPECT_EQ(Frame().ActiveDocument()->windowTitle(), b);

    // On a document: the files open, the document's text is left alone.
    QWidget *box = Frame().ActiveDocument()->txtScript()->viewport();
    EXPECT_TRUE(Send<QDragEnterEvent>(box, files));
    EXPECT_TRUE(Send<QDropEvent>(box, files));
    EXPECT_EQ(Opened(Frame()), (QStringList{a, b, a, b}));
    EXPECT_EQ(qobject_cast<frmDocument *>(Frame().mdiArea()->subWindowList()[1])->Text(),
              "text of b");

    // Text, or nothing that is a local file, is not taken by the frame.
    QMimeData text;
    text.setText("key=value");
    EXPECT_FALSE(Send<QDragEnterEvent>(Frame().mdiArea()->viewport(), text));
    QMimeData remote;
    remote.setUrls({QUrl(QStringLiteral("https://example.org/c.cfg"))});
    EXPECT_FALSE(Send<QDragEnterEvent>(Frame().mdiArea()->viewport(), remote));
    EXPECT_EQ(Frame().DocumentCount(), 4);
    EXPECT_TRUE(modal.asked().empty());
}

// Documents handed over in numbers open above the others but never stay on top themselves,
// and a document the user keeps on top (its window menu's "Stay on Top") stays above them.
TEST_F(FilesTest, FilesHandedOverOpenUnderADocumentKeptOnTop)
{
    QStringList files;
    for (const char *name : {"a.cfg", "b.cfg", "c.cfg", "d.cfg"}) {
        files << scratch.filePath(name);
        WriteConfig(files.last(), name);
    }
    Frame().show();
    const auto stacking = [this] {
        QList<frmDocument *> order;
        for (QObject *child : Frame().mdiArea()->viewport()->children())
            if (auto *document = dynamic_cast<frmDocument *>(child))
                order << document;
        return order;
    };
    const auto onTop = [](const frmDocument *document) {
        return document->windowFlags().testFlag(Qt::WindowStaysOnTopHint);
    };

    Frame().OpenFiles(files.mid(0, 2));
    QList<frmDocument *> first = stacking();
    ASSERT_EQ(first.size(), 2);
    EXPECT_FALSE(onTop(first[0]) || onTop(first[1]));
    frmDocument *kept = first[0];
    QAction *stay = nullptr;
    for (QAction *action : kept->systemMenu()->actions())
        if (action->text() == QStringLiteral("Stay on &Top"))
            stay = action;
    ASSERT_NE(stay, nullptr);
    EXPECT_FALSE(stay->isChecked());
    stay->trigger();
    ASSERT_TRUE(onTop(kept));

    Frame().OpenFiles(files.mid(2));
    const QList<frmDocument *> after = stacking();
    ASSERT_EQ(after.size(), 4);
    EXPECT_EQ(after.last(), kept);
    for (frmDocument *document : after)
        EXPECT_EQ(onTop(document), document == kept) << document->FileName.toStdString();
    EXPECT_EQ(Frame().ActiveDocument()->FileName, files[3]);
}

TEST_F(FilesTest, AnOutsideChangeIsToldOnceWhenTheFrameIsNextActive)
{
    frmDocument &document = Open("a.cfg", "one");
    QSignalSpy touched(&document, &frmDocument::FileTouched);
    Activate(other);
    WriteConfig(document.FileName, "two");
    NoticeArrives(touched);
    EXPECT_TRUE(modal.asked().empty()) << "asked while the frame was not active";

    modal.AnswerQuestion(0);
    ComeBack(1);
    EXPECT_EQ(modal.asked()[0].title, "File Changed");
    EXPECT_EQ(modal.asked()[0].text,
              document.FileName + "\r\nhas been changed by another program.\r\nReload it?");
    // The first answer, which Enter and Escape choose, keeps the text; no key is taken
    // while the user types.
    EXPECT_EQ(modal.asked()[0].buttons, (QStringList{"Don't Reload", "Reload"}));
    EXPECT_TRUE(modal.asked()[0].guarded);
    EXPECT_EQ(document.Text(), "one");
    EXPECT_FALSE(document.Changed());
    ComeBack(1); // told once

    // While the frame is active, at once; Yes reloads.
    touched.clear();
    WriteConfig(document.FileName, "three");
    modal.AnswerQuestion(1);
    EXPECT_TRUE(QTest::qWaitFor([&] { return modal.asked().size() == 2; }));
    EXPECT_EQ(document.Text(), "three");
    EXPECT_FALSE(document.Changed());
    EXPECT_EQ(document.windowTitle(), document.FileName);
}

TEST_F(FilesTest, AFileStaysWatchedWhileAnyDocumentHasItOpen)
{
    frmDocument &first = Open("a.cfg", "one");
    const QString path = first.FileName;
    Frame().LoadFile(path);
    QPointer<frmDocument> second = Frame().ActiveDocument();
    ASSERT_NE(second.data(), &first);
    const auto watched = [&path] {
        const QStringList files = frmDocument::StopWatchingFiles();
        frmDocument::WatchFilesAgain(files);
        return files.contains(path);
    };
    QPointer<frmDocument> closed = &first;
    closed->close();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !closed; }));
    EXPECT_TRUE(watched()) << "the other window's watch went with the first";
    second->close();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !second; }));
    EXPECT_FALSE(watched()) << "a closed document's file stays watched";
}

TEST_F(FilesTest, AChangedDocumentKeepsItsEditsOrReloads)
{
    frmDocument &first = Open("a.cfg", "one");
    frmDocument &second = Open("b.cfg", "other");
    first.txtScript()->moveCursor(QTextCursor::End);
    Frame().mdiArea()->setActiveSubWindow(&first);
    first.txtScript()->setFocus();
    QTest::keyClicks(QApplication::focusWidget(), " more");
    ASSERT_TRUE(first.Changed());
    Frame().mdiArea()->setActiveSubWindow(&second);

    Activate(other);
    WriteConfig(first.FileName, "two");
    // The question is asked with its document in front.
    modal.OnNextDialog([&] { EXPECT_EQ(Frame().ActiveDocument(), &first); });
    modal.AnswerQuestion(0);
    ComeBack(1);
    EXPECT_EQ(modal.asked()[0].text,
              first.FileName + "\r\nhas been changed by another program, and it has changes "
                               "here that are not saved.\r\nReload it? Your changes then stay "
                               "open in a new untitled document.");
    EXPECT_EQ(modal.asked()[0].buttons, (QStringList{"Keep My Changes", "Reload"}));
    EXPECT_EQ(first.Text(), "one more");
    EXPECT_TRUE(first.Changed());

    // Reloading does not lose the edits: they stay open, unsaved, in a document of their own.
    Activate(other);
    WriteConfig(first.FileName, "three");
    modal.AnswerQuestion(1);
    ComeBack(2);
    EXPECT_EQ(first.Text(), "three");
    EXPECT_FALSE(first.Changed());
    EXPECT_EQ(second.Text(), "other");
    ASSERT_EQ(Frame().mdiArea()->subWindowList().size(), 3);
    frmDocument *kept = Frame().ActiveDocument();
    EXPECT_EQ(kept->Text(), "one more");
    EXPECT_TRUE(kept->Changed());
    EXPECT_TRUE(kept->FileName.isEmpty());
}

TEST_F(FilesTest, ManyFilesChangedAtOnceAreOneQuestion)
{
    std::vector<frmDocument *> documents;
    for (int i = 0; i < 20; ++i)
        documents.push_back(&Open(QStringLiteral("f%1.cfg").arg(i), "old"));
    Activate(other);
    for (frmDocument *document : documents)
        WriteConfig(document->FileName, "new");
    modal.AnswerQuestion(3); // Reload All
    ComeBack(1);
    EXPECT_TRUE(modal.asked()[0].text.endsWith("\r\n\r\n19 more open files have been changed "
                                               "too."));
    EXPECT_EQ(modal.asked()[0].buttons,
              (QStringList{"Don't Reload", "Reload", "Don't Reload Any", "Reload All"}));
    for (frmDocument *document : documents)
        EXPECT_EQ(document->Text(), "new");

    Activate(other);
    for (frmDocument *document : documents)
        WriteConfig(document->FileName, "newer");
    modal.AnswerQuestion(2); // Don't Reload Any
    ComeBack(2);
    for (frmDocument *document : documents)
        EXPECT_EQ(document->Text(), "new");
    ComeBack(2); // told once

    // Removed together: one message names them all.
    Activate(other);
    for (int i = 0; i < 3; ++i)
        ASSERT_TRUE(QFile::remove(documents[i]->FileName));
    modal.AnswerMessage(MsgAnswer::OK);
    ComeBack(3);
    EXPECT_EQ(modal.asked()[2].title, "Files Deleted");
    EXPECT_EQ(modal.asked()[2].text,
              "3 open files have been deleted or moved by another program:\r\n" +
                  documents[0]->FileName + "\r\n" + documents[1]->FileName + "\r\n" +
                  documents[2]->FileName +
                  "\r\nTheir texts stay open here; Save writes each back.");
    for (int i = 0; i < 3; ++i)
        EXPECT_TRUE(documents[i]->Changed());
    for (int i = 0; i < 3; ++i)
        documents[i]->setChanged(false);
}

// A link put in the file's place, to a file the user never opened: reading through it
// after a reload is no yes to writing through it.
TEST_F(FilesTest, AReloadThroughANewLinkLeavesSavesCheckInForce)
{
    frmDocument &document = Open("a.cfg", "mine");
    const QString path = document.FileName;
    const QString theirs = scratch.filePath("theirs.cfg");
    WriteConfig(theirs, "their text");
    Activate(other);
    ASSERT_TRUE(QFile::remove(path));
    ASSERT_TRUE(QFile::link(theirs, path));
    modal.AnswerQuestion(1);
    ComeBack(1);
    EXPECT_EQ(modal.asked()[0].text,
              path +
                  "\r\nhas been changed by another program.\r\nIt is now a link to "
                  "another file, " +
                  theirs + "; Save will ask before writing through it.\r\nReload it?");
    EXPECT_EQ(document.Text(), "their text");

    document.txtScript()->setFocus();
    QTest::keyClicks(QApplication::focusWidget(), "typed ");
    modal.AnswerMessage(MsgAnswer::No);
    Item("mnuFileSave")->trigger();
    ASSERT_EQ(modal.asked().size(), 2u);
    EXPECT_EQ(modal.asked()[1].title, "Save");
    EXPECT_EQ(modal.asked()[1].text,
              "\"" + path + "\" now leads through a link to another file, " + theirs +
                  ", not to the file it was opened from.  Save over that file anyway?");
    EXPECT_EQ(modal.asked()[1].style, MsgStyle::YesNoCancel + MsgStyle::DefaultButton2);
    EXPECT_EQ(ReadConfig(theirs), "their text");

    // Said yes to once, the link is the file from then on.
    modal.AnswerMessage(MsgAnswer::Yes);
    Item("mnuFileSave")->trigger();
    EXPECT_EQ(ReadConfig(theirs), "typed their text");
    Item("mnuFileSave")->trigger();
    EXPECT_EQ(modal.asked().size(), 3u);
}

TEST_F(FilesTest, ARemovedFileIsMarkedAndSaveWritesItBack)
{
    frmDocument &document = Open("a.cfg", "one\r\ntwo");
    const QString path = document.FileName;
    Activate(other);
    ASSERT_TRUE(QFile::remove(path));
    modal.AnswerMessage(MsgAnswer::OK);
    ComeBack(1);
    EXPECT_EQ(modal.asked()[0].title, "File Deleted");
    EXPECT_EQ(modal.asked()[0].text, path + "\r\nhas been deleted or moved by another "
                                            "program.\r\nIts text stays open here; Save "
                                            "writes it back.");
    EXPECT_EQ(document.Text(), "one\r\ntwo");
    EXPECT_TRUE(document.Changed());
    EXPECT_EQ(document.windowTitle(), path + " *");
    ComeBack(1);

    Item("mnuFileSave")->trigger();
    EXPECT_EQ(ReadConfig(path), "one\r\ntwo");
    EXPECT_FALSE(document.Changed());
    EXPECT_EQ(document.windowTitle(), path);
    ComeBack(1);
}

TEST_F(FilesTest, TheEditorsOwnSavesAreNoNews)
{
    frmDocument &document = Open("a.cfg", "one");
    document.txtScript()->setFocus();
    QTest::keyClicks(QApplication::focusWidget(), "zero ");
    Item("mnuFileSave")->trigger();
    EXPECT_EQ(ReadConfig(document.FileName), "zero one");
    QCoreApplication::processEvents();
    ComeBack(0);

    // Save As to another name, then a change there by somebody else is news again.
    const QString elsewhere = scratch.filePath("b.cfg");
    modal.AnswerSave(elsewhere);
    Item("mnuFileSaveAs")->trigger();
    ComeBack(1);
    WriteConfig(elsewhere, "theirs");
    modal.AnswerQuestion(1);
    EXPECT_TRUE(QTest::qWaitFor([&] { return modal.asked().size() == 2; }));
    EXPECT_EQ(document.Text(), "theirs");
}

// A file that is not a config file is asked about on every way into a document, and the
// question's default leaves the file, the windows and the text as they were.
TEST_F(FilesTest, EveryWayOfOpeningAsksAboutAPlainFileAndCancelKeepsAllAsItWas)
{
    const QByteArray plain = "[General]\r\nname=unit 1\r\n";
    const QString path = MakeFile("my.ini", plain);
    Frame().show();
    Activate(Frame());
    std::size_t asked = 0;
    const auto cancelled = [&](const char *route) {
        ASSERT_EQ(modal.asked().size(), ++asked) << route;
        EXPECT_EQ(modal.asked().back().title, "Not a Config File") << route;
        EXPECT_TRUE(modal.asked().back().text.startsWith(path)) << route;
        EXPECT_EQ(modal.asked().back().defaultButton, 2) << route;
        Settle();
        EXPECT_TRUE(Frame().mdiArea()->subWindowList().isEmpty()) << route;
    };

    modal.AnswerOpen(path);
    modal.AnswerQuestion(2);
    asperson::Press(QKeyCombination(Qt::ControlModifier, Qt::Key_O));
    ++asked; // the Open dialog
    cancelled("File > Open");

    QMimeData dropped;
    dropped.setUrls({QUrl::fromLocalFile(path)});
    modal.AnswerQuestion(2);
    EXPECT_TRUE(Send<QDragEnterEvent>(Frame().mdiArea()->viewport(), dropped));
    EXPECT_TRUE(Send<QDropEvent>(Frame().mdiArea()->viewport(), dropped));
    cancelled("a drop");

    modal.AnswerQuestion(2);
    Frame().OpenFiles({path}); // as another start hands its files over
    cancelled("a handover");

    // Opened as plain text it is on the recent list; from there it is asked about again.
    modal.AnswerQuestion(0);
    Frame().LoadFile(path);
    ++asked;
    frmDocument &document = *Frame().ActiveDocument();
    EXPECT_EQ(document.Text(), QString::fromLatin1(plain));
    document.txtScript()->moveCursor(QTextCursor::End);
    document.txtScript()->setFocus();
    asperson::Type("x=1");
    ASSERT_TRUE(document.Changed());

    // Refresh, told to drop the edits, then cancelled: the edits stay.
    modal.AnswerMessage(MsgAnswer::Yes);
    modal.AnswerQuestion(2);
    asperson::Press(QKeyCombination(Qt::Key_F5));
    asked += 2;
    ASSERT_EQ(modal.asked().size(), asked);
    EXPECT_EQ(modal.asked().back().title, "Not a Config File");
    EXPECT_TRUE(document.Changed());
    EXPECT_EQ(document.Text(), QString::fromLatin1(plain) + "x=1");

    // Changed from outside and reloaded on request, then cancelled: the same.
    Activate(other);
    MakeFile("my.ini", plain + "more=2\r\n");
    modal.AnswerQuestion(1); // "Reload"
    modal.AnswerQuestion(2);
    ComeBack(asked += 2);
    EXPECT_EQ(modal.asked().back().title, "Not a Config File");
    EXPECT_EQ(document.Text(), QString::fromLatin1(plain) + "x=1");
    EXPECT_TRUE(document.Changed());

    document.setChanged(false);
    document.close();
    Settle();
    modal.AnswerQuestion(2);
    Item("mnuFileMRU1")->trigger();
    cancelled("the recent list");
    EXPECT_EQ(QFile(path).size(), plain.size() + 8) << "nothing was written";
}
