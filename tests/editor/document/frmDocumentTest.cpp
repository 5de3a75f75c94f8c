#include "AsPerson.h"
#include "DocumentFixture.h"

#include "Encryption.h"
#include "modUnicodeRW.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTest>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextLayout>

#include <filesystem>
#include <functional>
#include <utility>
#include <vector>

namespace {

// Lines ending in CR LF, LF alone and CR alone, blank lines of each kind, and a final
// line without a break.
const QString Mixed = QStringLiteral("[device]\r\nport=COM1\nbaud=115200\rmode=8N1\r\n\r\n"
                                     "\n\r; last line without a break");

void TypeAtEnd(frmDocument *document, const QString &text)
{
    QTextCursor cursor(document->txtScript()->document());
    cursor.movePosition(QTextCursor::End);
    cursor.insertText(text);
}

} // namespace

TEST_F(DocumentTest, ANewWindowHoldsText1AndNoFile)
{
    frmDocument *document = NewDocument();
    EXPECT_EQ(document->txtScript()->toPlainText(), "Text1");
    EXPECT_EQ(document->Text(), "Text1");
    EXPECT_EQ(document->FileName, "");
    EXPECT_FALSE(document->Changed());
    EXPECT_EQ(document->windowTitle(), "Document 1");

    const QFont font = document->txtScript()->font();
    EXPECT_EQ(font.family(), "Arial");
    EXPECT_DOUBLE_EQ(font.pointSizeF(), 9.75);
    EXPECT_FALSE(font.bold() || font.italic() || font.underline() || font.strikeOut());

    // What the window shows: keys typed into it go to the text, a line too long for it
    // wraps instead of scrolling sideways, and the vertical bar is there even for one line.
    ASSERT_TRUE(asperson::Activate(*area));
    area->setActiveSubWindow(document);
    ASSERT_TRUE(asperson::Type(QStringLiteral("ab")));
    EXPECT_EQ(document->Text(), "abText1");
    EXPECT_TRUE(document->txtScript()->verticalScrollBar()->isVisible());
    TypeAtEnd(document, QString(500, 'w') + ' ' + QString(500, 'w'));
    QApplication::processEvents();
    EXPECT_FALSE(document->txtScript()->horizontalScrollBar()->isVisible());
    const QTextBlock line = document->txtScript()->document()->firstBlock();
    EXPECT_GT(line.layout()->lineCount(), 1);

    // A new window's text is Text1 from the start, also before it is first shown (when
    // its box takes it): the same text given to it is no change, another one is.
    frmDocument unshown(*modal);
    unshown.SetText(QStringLiteral("Text1"));
    EXPECT_FALSE(unshown.Changed());
    frmDocument emptied(*modal);
    emptied.SetText(QString());
    EXPECT_TRUE(emptied.Changed());
    emptied.setChanged(false);
}

TEST_F(DocumentTest, LoadFileShowsTheTextAndTakesThePathAsGiven)
{
    WriteConfig(Path("a.cfg"), "hello\r\nworld");
    frmDocument *document = NewDocument();
    const QString relative = QDir::current().relativeFilePath(Path("a.cfg"));
    document->LoadFile(relative);
    EXPECT_EQ(document->Text(), "hello\r\nworld");
    EXPECT_EQ(document->FileName, relative);
    EXPECT_EQ(document->windowTitle(), relative);
    EXPECT_FALSE(document->Changed());
    EXPECT_TRUE(modal->asked().empty());
}

TEST_F(DocumentTest, MixedLineBreaksComeBackByteForByte)
{
    WriteConfig(Path("mixed.cfg"), Mixed);
    const QByteArray original = ReadBytes(Path("mixed.cfg"));
    frmDocument *document = NewDocument();
    document->LoadFile(Path("mixed.cfg"));
    EXPECT_EQ(document->Text(), Mixed);
    document->Save();
    EXPECT_EQ(ReadBytes(Path("mixed.cfg")), original);
}

TEST_F(DocumentTest, EveryCharacterTheFormatKeepsSurvivesTheTextBox)
{
    // Units 1 to 165 come back through the cipher at every position, including the
    // no-break space and control characters the text box might otherwise alter.
    QString plain;
    for (int repeat = 0; repeat < 3; ++repeat) {
        for (char16_t unit = 1; unit <= 165; ++unit)
            plain += QChar(unit);
    }
    WriteConfig(Path("all.cfg"), plain);
    const QByteArray original = ReadBytes(Path("all.cfg"));
    frmDocument *document = NewDocument();
    document->LoadFile(Path("all.cfg"));
    EXPECT_EQ(document->Text(), plain);
    document->Save();
    EXPECT_EQ(ReadBytes(Path("all.cfg")), original);
}

TEST_F(DocumentTest, TextKeepsCharactersThePlainTextExportWouldChange)
{
    frmDocument *document = NewDocument();
    const QString text = QStringLiteral("a\u00A0b\u2028c\u2029d\r\ne\x0B\x0C\x01");
    document->SetText(text);
    EXPECT_EQ(document->Text(), text);
}

TEST_F(DocumentTest, ALineTheUserAddsTakesTheFilesOwnBreak)
{
    WriteConfig(Path("lf.cfg"), "one\ntwo\nthree");
    frmDocument *document = NewDocument();
    document->LoadFile(Path("lf.cfg"));
    QTextCursor cursor(document->txtScript()->document());
    cursor.movePosition(QTextCursor::End);
    document->txtScript()->setTextCursor(cursor);
    QTest::keyClick(document->txtScript(), Qt::Key_Return);
    QTest::keyClicks(document->txtScript(), "four");
    EXPECT_EQ(document->Text(), "one\ntwo\nthree\nfour");

    // Splitting a line in the middle keeps the break of the line that was split.
    document->SetText("ab\rcd");
    cursor = QTextCursor(document->txtScript()->document());
    cursor.setPosition(1);
    cursor.insertBlock();
    EXPECT_EQ(document->Text(), "a\rb\rcd");
}

TEST_F(DocumentTest, ANewDocumentsAddedLinesEndInCrLf)
{
    frmDocument *document = NewDocument();
    QTextCursor cursor(document->txtScript()->document());
    cursor.movePosition(QTextCursor::End);
    cursor.insertBlock();
    cursor.insertText("x");
    EXPECT_EQ(document->Text(), "Text1\r\nx");
}

TEST_F(DocumentTest, AnEditMarksTheDocumentOnceAndUndoingItClearsTheMark)
{
    WriteConfig(Path("a.cfg"), "abc");
    frmDocument *document = NewDocument();
    document->LoadFile(Path("a.cfg"));
    TypeAtEnd(document, "d");
    TypeAtEnd(document, "e");
    EXPECT_TRUE(document->Changed());
    // The caption follows once the edit has been drawn, and takes the mark once.
    EXPECT_TRUE(QTest::qWaitFor([&] { return document->windowTitle() != Path("a.cfg"); }));
    EXPECT_EQ(document->windowTitle(), Path("a.cfg") + " *");
    document->txtScript()->undo();
    document->txtScript()->undo();
    EXPECT_EQ(document->Text(), "abc");
    EXPECT_FALSE(document->Changed());
    EXPECT_TRUE(QTest::qWaitFor([&] { return document->windowTitle() == Path("a.cfg"); }));
    // An edit and its undo before the caption follows leave the caption as it was.
    TypeAtEnd(document, "f");
    document->txtScript()->undo();
    EXPECT_FALSE(document->Changed());
    QCoreApplication::processEvents();
    EXPECT_EQ(document->windowTitle(), Path("a.cfg"));
    // A save before the caption follows leaves no mark behind.
    TypeAtEnd(document, "g");
    document->setChanged(false);
    QCoreApplication::processEvents();
    EXPECT_EQ(document->windowTitle(), Path("a.cfg"));
    document->txtScript()->undo();

    // Typing the same text again by hand also counts as unchanged.
    TypeAtEnd(document, "x");
    EXPECT_TRUE(document->Changed());
    QTextCursor cursor(document->txtScript()->document());
    cursor.movePosition(QTextCursor::End);
    cursor.deletePreviousChar();
    EXPECT_EQ(document->Text(), "abc");
    EXPECT_FALSE(document->Changed());
}

TEST_F(DocumentTest, ChangedWritesTheCaptionOnlyWhenItsValueChanges)
{
    frmDocument *document = NewDocument();
    document->setWindowTitle("a.cfg");
    document->setChanged(true);
    document->setChanged(true);
    EXPECT_EQ(document->windowTitle(), "a.cfg *");
    document->setChanged(false);
    EXPECT_EQ(document->windowTitle(), "a.cfg");
    document->setChanged(false);
    EXPECT_EQ(document->windowTitle(), "a.cfg");
    // Clearing removes every mark, wherever it stands.
    document->setChanged(true);
    document->setWindowTitle("x * y *");
    document->setChanged(false);
    EXPECT_EQ(document->windowTitle(), "x y");
}

TEST_F(DocumentTest, LoadFileOfAMissingPathOpensEmptyUnderThatName)
{
    frmDocument *document = NewDocument();
    const QString path = Path("no/such/folder/new.cfg");
    document->LoadFile(path);
    EXPECT_EQ(document->Text(), "");
    EXPECT_EQ(document->FileName, path);
    EXPECT_EQ(document->windowTitle(), path);
    EXPECT_TRUE(modal->asked().empty());
}

TEST_F(DocumentTest, AFileTooLargeForTheFormatIsReportedAndTheWindowKeepsText1)
{
    WriteBytes(Path("big.cfg"), QByteArray(65534, 'A'));
    frmDocument *document = NewDocument();
    modal->AnswerMessage(MsgAnswer::OK);
    document->LoadFile(Path("big.cfg"));
    ASSERT_EQ(modal->asked().size(), 1u);
    EXPECT_TRUE(modal->asked()[0].text.contains("larger than a config file can be"))
        << modal->asked()[0].text.toStdString();
    EXPECT_EQ(modal->asked()[0].title, "Error in: frmDocument.LoadFile");
    EXPECT_EQ(modal->asked()[0].style, MsgStyle::Information);
    EXPECT_EQ(document->Text(), "Text1");
    EXPECT_EQ(document->windowTitle(), "Document 1");
    EXPECT_EQ(document->FileName, "");
}

TEST_F(DocumentTest, TheLargestFileTheFormatAllowsOpens)
{
    WriteConfig(Path("max.cfg"), QString(32766, 'x'));
    EXPECT_EQ(ReadBytes(Path("max.cfg")).size(), 65532);
    frmDocument *document = NewDocument();
    document->LoadFile(Path("max.cfg"));
    EXPECT_EQ(document->Text().size(), 32766);
    // and saves: the limit is inclusive.
    document->Save();
    EXPECT_EQ(ReadBytes(Path("max.cfg")).size(), 65532);
}

TEST_F(DocumentTest, AFolderOrUnreadableFileIsReportedAndNotTakenAsTheFile)
{
    QDir(scratch.path()).mkdir("folder.cfg");
    WriteConfig(Path("a.cfg"), "kept");
    frmDocument *document = NewDocument();
    document->LoadFile(Path("a.cfg"));
    modal->AnswerMessage(MsgAnswer::OK);
    document->LoadFile(Path("folder.cfg"));
    ASSERT_EQ(modal->asked().size(), 1u);
    EXPECT_EQ(modal->asked()[0].title, "Error in: frmDocument.LoadFile");
    EXPECT_TRUE(modal->asked()[0].text.contains("folder.cfg"));
    EXPECT_EQ(document->FileName, Path("a.cfg"));
    EXPECT_EQ(document->Text(), "kept");
    // A Save now still goes to the file that was read, not over the folder.
    document->Save();
    EXPECT_EQ(ReadConfig(Path("a.cfg")), "kept");
}

TEST_F(DocumentTest, BinaryOddAndEmptyFilesOpenWithoutHarm)
{
    QByteArray binary;
    for (int i = 0; i < 4096; ++i)
        binary += char((i * 97) & 0xFF);
    WriteBytes(Path("binary.cfg"), binary);
    WriteBytes(Path("odd.cfg"), QByteArray("\xA3\0\xA4", 3));
    WriteBytes(Path("empty.cfg"), QByteArray());

    // A binary is asked about first; the question's default keeps everything as it was.
    frmDocument *document = NewDocument();
    modal->AnswerQuestion(2);
    EXPECT_EQ(document->LoadFile(Path("binary.cfg")), frmDocument::LoadOutcome::Cancelled);
    ASSERT_EQ(modal->asked().size(), 1u);
    const ScriptedModal::Asked question = modal->asked()[0];
    EXPECT_EQ(question.title, "Not a Config File");
    EXPECT_TRUE(question.text.startsWith(Path("binary.cfg") +
                                         "\n\ndoes not look like a Torvane config file"));
    EXPECT_EQ(question.buttons, (QStringList{"Open as Plain Text", "Decipher Anyway", "Cancel"}));
    EXPECT_EQ(question.defaultButton, 2);
    EXPECT_EQ(document->Text(), "Text1");
    EXPECT_EQ(document->FileName, "");

    // Deciphered anyway, as a damaged config file: both files then hold positions the
    // text cannot show, and each says so once; the odd one is not asked about.
    modal->AnswerQuestion(1);
    modal->AnswerMessage(MsgAnswer::OK);
    modal->AnswerMessage(MsgAnswer::OK);
    document->LoadFile(Path("binary.cfg"));
    EXPECT_EQ(document->FileName, Path("binary.cfg"));
    EXPECT_EQ(ReadBytes(Path("binary.cfg")), binary) << "opening never writes";

    // 0xA3 - 'R' and 0xA4 - 'A' (the key letters for positions 1 and 2).
    document->LoadFile(Path("odd.cfg"));
    EXPECT_EQ(document->Text(), QString(QChar(0xA3 - 'R')) + QChar(0xA4 - 'A'));

    document->LoadFile(Path("empty.cfg"));
    EXPECT_EQ(document->Text(), "");
    EXPECT_EQ(document->windowTitle(), Path("empty.cfg"));
    ASSERT_EQ(modal->asked().size(), 4u);
    EXPECT_EQ(modal->asked()[2].title, "Positions Not Shown");
    // The odd last byte: its unit reads, but a save writes it as two bytes.
    EXPECT_EQ(modal->asked()[3].text, Path("odd.cfg") +
                                          "\n\n1 position of this file cannot be shown: "
                                          "deciphering drops or changes it. Saving will "
                                          "rewrite the file without it.");
}

TEST_F(DocumentTest, APlainFileOpensAsTextAndIsEncipheredOnlyWhenTheUserSaysSo)
{
    const QByteArray plain = "[Unit]\r\nname=Gr\xC3\xBC\xC3\x9F"
                             "e\r\n";
    WriteBytes(Path("my.ini"), plain);
    WriteBytes(Path("wide.ini"), QByteArray("\xFF\xFEk\0=\0\xE9\0", 8));
    WriteBytes(Path("latin.ini"), QByteArray("k=\xE9", 3));

    frmDocument *document = NewDocument();
    for (const auto &[name, text] :
         {std::pair{"wide.ini", QStringLiteral("k=\u00E9")},
          std::pair{"latin.ini", QStringLiteral("k=\u00E9")},
          std::pair{"my.ini", QStringLiteral("[Unit]\r\nname=Gr\u00FC\u00DFe\r\n")}}) {
        modal->AnswerQuestion(0);
        EXPECT_EQ(document->LoadFile(Path(name)), frmDocument::LoadOutcome::Loaded);
        EXPECT_EQ(document->Text(), text) << name;
        EXPECT_TRUE(document->OpenedAsPlainText());
        EXPECT_FALSE(document->Changed());
    }
    ASSERT_EQ(modal->asked().size(), 3u) << "no warning about unshown positions";

    // Its first Save asks, by name; the default writes nothing.
    modal->AnswerQuestion(1);
    document->Save();
    ASSERT_EQ(modal->asked().size(), 4u);
    const ScriptedModal::Asked question = modal->asked()[3];
    EXPECT_EQ(question.title, "Encipher Plain File?");
    EXPECT_EQ(question.text, Path("my.ini") + "\n\nwas opened as plain text. Saving replaces "
                                              "the plain file with an enciphered Torvane config "
                                              "file, which other programs cannot read as text.");
    EXPECT_EQ(question.buttons, (QStringList{"&Encipher and Save", "Cancel"}));
    EXPECT_EQ(question.defaultButton, 1);
    EXPECT_EQ(ReadBytes(Path("my.ini")), plain);

    // Told to, it enciphers (the two letters the file cannot keep are asked about as
    // always), and later saves ask nothing more.
    modal->AnswerQuestion(0);
    modal->AnswerQuestion(0);
    document->Save();
    EXPECT_EQ(modal->asked()[5].title, "Characters Will Be Lost");
    EXPECT_EQ(ReadBytes(Path("my.ini")).size(), 2 * document->Text().size());
    EXPECT_FALSE(document->OpenedAsPlainText());
    document->Save();
    EXPECT_EQ(modal->asked().size(), 6u);
}

TEST_F(DocumentTest, SaveWritesTheEncipheredTextAndClearsTheMark)
{
    WriteConfig(Path("a.cfg"), "one\r\n");
    frmDocument *document = NewDocument();
    document->LoadFile(Path("a.cfg"));
    TypeAtEnd(document, "two");
    ASSERT_TRUE(document->Changed());
    document->Save();
    EXPECT_FALSE(document->Changed());
    EXPECT_EQ(document->windowTitle(), Path("a.cfg"));
    EXPECT_EQ(ReadConfig(Path("a.cfg")), "one\r\ntwo");
    const QByteArray bytes = ReadBytes(Path("a.cfg"));
    EXPECT_EQ(bytes.size(), 2 * 8);
    for (qsizetype i = 1; i < bytes.size(); i += 2)
        EXPECT_EQ(bytes[i], 0);
}

TEST_F(DocumentTest, SaveOfANeverLoadedDocumentFailsToTheCallerAndWritesNothing)
{
    frmDocument *document = NewDocument();
    TypeAtEnd(document, "x");
    const QStringList before = QDir().entryList(QDir::AllEntries | QDir::Hidden);
    EXPECT_THROW(document->Save(), RunTimeError);
    EXPECT_TRUE(document->Changed());
    EXPECT_EQ(QDir().entryList(QDir::AllEntries | QDir::Hidden), before);
}

TEST_F(DocumentTest, SaveOfATextTooLongLeavesTheFileIntact)
{
    WriteConfig(Path("a.cfg"), "original");
    const QByteArray original = ReadBytes(Path("a.cfg"));
    frmDocument *document = NewDocument();
    document->LoadFile(Path("a.cfg"));
    TypeAtEnd(document, QString(32767 - 8, 'y')); // one past the limit
    try {
        document->Save();
        ADD_FAILURE() << "no error";
    } catch (const RunTimeError &error) {
        EXPECT_EQ(error.Number, ErrorNumber::Overflow);
        EXPECT_EQ(error.Description, "The text has 32,767 characters; a Torvane config file "
                                     "holds at most 32,766.");
    }
    EXPECT_TRUE(document->Changed());
    EXPECT_EQ(ReadBytes(Path("a.cfg")), original);
}

TEST_F(DocumentTest, SaveFileAsOffersTheFileNameAndTakesTheNewPath)
{
    WriteConfig(Path("a.cfg"), "text");
    frmDocument *document = NewDocument();
    document->LoadFile(Path("a.cfg"));
    TypeAtEnd(document, "!");
    modal->AnswerSave(Path("b.cfg"));
    document->SaveFileAs();

    ASSERT_EQ(modal->asked().size(), 1u);
    const FileDialogRequest &request = modal->asked()[0].file;
    EXPECT_EQ(request.title, "Save As");
    EXPECT_EQ(request.fileName, Path("a.cfg"));
    EXPECT_EQ(request.filter,
              "Torvane Config Files (*.cfg)|*.cfg|Ini Files (*.ini)|*.ini|All Files (*.*)|*.*");
    EXPECT_EQ(request.filterIndex, 1);

    EXPECT_EQ(ReadConfig(Path("b.cfg")), "text!");
    EXPECT_EQ(ReadConfig(Path("a.cfg")), "text");
    EXPECT_EQ(document->FileName, Path("b.cfg"));
    EXPECT_EQ(document->windowTitle(), Path("b.cfg"));
    EXPECT_FALSE(document->Changed());

    // The next Save goes to the new file, leaving the one it was loaded from alone.
    TypeAtEnd(document, "?");
    document->Save();
    EXPECT_EQ(ReadConfig(Path("b.cfg")), "text!?");
    EXPECT_EQ(ReadConfig(Path("a.cfg")), "text");
}

TEST_F(DocumentTest, SaveFileAsCancelledSaysNothingAndWritesNothing)
{
    frmDocument *document = NewDocument();
    TypeAtEnd(document, "x");
    modal->AnswerSave(std::nullopt);
    document->SaveFileAs();
    modal->AnswerSave(QString());
    document->SaveFileAs();
    EXPECT_EQ(modal->asked().size(), 2u);
    EXPECT_EQ(modal->asked()[0].file.fileName, "");
    EXPECT_TRUE(document->Changed());
    EXPECT_TRUE(QDir(scratch.path()).isEmpty());
}

TEST_F(DocumentTest, SaveFileAsOverAnExistingFileAsksFirst)
{
    WriteConfig(Path("old.cfg"), "old");
    frmDocument *document = NewDocument();
    document->SetText("new");

    // No: the dialog comes back with the name just chosen; Cancel: nothing is written.
    modal->AnswerSave(Path("old.cfg"));
    modal->AnswerMessage(MsgAnswer::No);
    modal->AnswerSave(Path("old.cfg"));
    modal->AnswerMessage(MsgAnswer::Cancel);
    document->SaveFileAs();
    ASSERT_EQ(modal->asked().size(), 4u);
    EXPECT_EQ(modal->asked()[1].title, "File Exists");
    EXPECT_EQ(modal->asked()[1].text, "File already exists.  Overwrite it?");
    EXPECT_EQ(modal->asked()[1].style, MsgStyle::YesNoCancel + MsgStyle::DefaultButton2);
    EXPECT_EQ(modal->asked()[2].file.fileName, Path("old.cfg"));
    EXPECT_EQ(ReadConfig(Path("old.cfg")), "old");
    EXPECT_EQ(document->FileName, "");

    modal->AnswerSave(Path("old.cfg"));
    modal->AnswerMessage(MsgAnswer::Yes);
    document->SaveFileAs();
    EXPECT_EQ(ReadConfig(Path("old.cfg")), "new");
    EXPECT_EQ(document->FileName, Path("old.cfg"));
}

TEST_F(DocumentTest, SaveFileAsAsksBeforeReplacingAHiddenFileToo)
{
    WriteConfig(Path(".hidden.cfg"), "old");
    frmDocument *document = NewDocument();
    modal->AnswerSave(Path(".hidden.cfg"));
    modal->AnswerMessage(MsgAnswer::Cancel);
    document->SaveFileAs();
    EXPECT_EQ(ReadConfig(Path(".hidden.cfg")), "old");
}

TEST_F(DocumentTest, SaveFileAsShowsAFailureInItsOwnBox)
{
    frmDocument *document = NewDocument();
    TypeAtEnd(document, "x");
    modal->AnswerSave(Path("missing/x.cfg"));
    modal->AnswerMessage(MsgAnswer::OK);
    document->SaveFileAs();
    ASSERT_EQ(modal->asked().size(), 2u);
    EXPECT_TRUE(modal->asked()[1].text.contains("x.cfg")) << modal->asked()[1].text.toStdString();
    EXPECT_EQ(modal->asked()[1].title, "") << "the program's own title";
    EXPECT_EQ(modal->asked()[1].style, MsgStyle::OKOnly);
    EXPECT_TRUE(document->Changed());
    EXPECT_EQ(document->FileName, "");

    // Too long for the format: the box says so in words.
    document->SetText(QString(33010, 'y'));
    modal->AnswerSave(Path("long.cfg"));
    modal->AnswerMessage(MsgAnswer::OK);
    document->SaveFileAs();
    EXPECT_EQ(modal->asked().back().text,
              "The text has 33,010 characters; a Torvane config file holds at most 32,766.");
    EXPECT_FALSE(QFile::exists(Path("long.cfg")));
}

TEST_F(DocumentTest, AFileSavedFromOneWindowLoadsInAnother)
{
    frmDocument *first = NewDocument();
    first->SetText("shared\r\nkey");
    modal->AnswerSave(Path("s.cfg"));
    first->SaveFileAs();
    frmDocument *second = NewDocument();
    second->LoadFile(Path("s.cfg"));
    EXPECT_EQ(second->Text(), "shared\r\nkey");
}

TEST_F(DocumentTest, SaveAsksBeforeWritingWhereTheFileWasReplacedAfterLoading)
{
    namespace fs = std::filesystem;
    const fs::path folder = scratch.path().toStdString();
    // What someone with write access to the folder may put in the file's place.
    const std::vector<std::pair<const char *, std::function<void()>>> swaps = {
        {"a link to another file",
         [&] {
             fs::remove(folder / "a.cfg");
             fs::create_symlink("victim.cfg", folder / "a.cfg");
         }},
        {"another file",
         [&] {
             fs::copy_file(folder / "victim.cfg", folder / "new.cfg");
             fs::rename(folder / "new.cfg", folder / "a.cfg");
             fs::remove(folder / "victim.cfg");
             fs::create_symlink("a.cfg", folder / "victim.cfg");
         }},
    };
    for (const auto &[what, swap] : swaps) {
        SCOPED_TRACE(what);
        fs::remove(folder / "victim.cfg");
        fs::remove(folder / "a.cfg");
        WriteConfig(Path("a.cfg"), "mine");
        WriteConfig(Path("victim.cfg"), "theirs");
        frmDocument *document = NewDocument();
        document->LoadFile(Path("a.cfg"));
        TypeAtEnd(document, "!");
        swap();

        const std::size_t before = modal->asked().size();
        modal->AnswerMessage(MsgAnswer::No);
        document->Save();
        ASSERT_EQ(modal->asked().size(), before + 1);
        EXPECT_EQ(modal->asked().back().title, "Save");
        EXPECT_EQ(modal->asked().back().style, MsgStyle::YesNoCancel + MsgStyle::DefaultButton2);
        EXPECT_TRUE(modal->asked().back().text.contains(Path("a.cfg")));
        EXPECT_EQ(ReadConfig(Path("victim.cfg")), "theirs") << "nothing written on No";
        EXPECT_TRUE(document->Changed());

        modal->AnswerMessage(MsgAnswer::Yes);
        document->Save();
        EXPECT_EQ(ReadConfig(Path("victim.cfg")), "mine!");
        EXPECT_FALSE(document->Changed());
        // Once written, the path leads to the file last saved: no second question.
        TypeAtEnd(document, "?");
        document->Save();
        EXPECT_EQ(modal->asked().size(), before + 2);
        EXPECT_EQ(ReadConfig(Path("a.cfg")), "mine!?");
    }
}

TEST_F(DocumentTest, ALinkThatWasALinkWhenLoadedIsFollowedWithoutAQuestion)
{
    WriteConfig(Path("real.cfg"), "real");
    std::filesystem::create_symlink("real.cfg", Path("link.cfg").toStdString());
    frmDocument *document = NewDocument();
    document->LoadFile(Path("link.cfg"));
    TypeAtEnd(document, "!");
    document->Save();
    EXPECT_TRUE(modal->asked().empty());
    EXPECT_EQ(ReadConfig(Path("real.cfg")), "real!");
    EXPECT_TRUE(std::filesystem::is_symlink(Path("link.cfg").toStdString()));
}

TEST_F(DocumentTest, AReadOnlyFileIsRefusedByNameAndSaveAsElsewhereStillWorks)
{
    WriteConfig(Path("ro.cfg"), "kept");
    QFile::setPermissions(Path("ro.cfg"), QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther);
    frmDocument *document = NewDocument();
    document->LoadFile(Path("ro.cfg"));
    TypeAtEnd(document, "!");
    try {
        document->Save();
        ADD_FAILURE() << "no error";
    } catch (const RunTimeError &error) {
        EXPECT_EQ(error.Number, ErrorNumber::PermissionDenied);
        EXPECT_NE(error.Description.find("ro.cfg"), std::string::npos) << error.Description;
        EXPECT_NE(error.Description.find("read-only"), std::string::npos) << error.Description;
    }
    EXPECT_TRUE(document->Changed());
    EXPECT_EQ(ReadConfig(Path("ro.cfg")), "kept");

    modal->AnswerSave(Path("copy.cfg"));
    document->SaveFileAs();
    EXPECT_EQ(ReadConfig(Path("copy.cfg")), "kept!");
    EXPECT_FALSE(document->Changed());
}
