// What a document does about characters a config file would not give back: the marks in
// the text, the question before a save, the check after it, and the warning on opening.
#include "DocumentFixture.h"

#include "AccessibleTree.h"
#include "AsPerson.h"
#include "DocumentText.h"
#include "Encryption.h"
#include "FileLayer.h"
#include "LossMarks.h"
#include "LossReport.h"
#include "MarkLook.h"
#include "Survival.h"
#include "modUnicodeRW.h"

#include <QApplication>
#include <QClipboard>
#include <QGuiApplication>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTest>
#include <QTextBlock>
#include <QTextCursor>

#include <algorithm>
#include <map>
#include <random>

namespace {

const std::u16string Key = DocumentKey;

// Where the characters a save would lose stand in the text box, worked out from the text
// the document would save: a line of the box is a line of the file, but its break may take
// two units in the file and always takes one in the box.
std::vector<int> ExpectedMarks(const frmDocument &document)
{
    const std::u16string text = document.Text().toStdU16String();
    std::vector<int> positions;
    std::size_t fileStart = 0;
    int boxStart = 0;
    std::size_t next = 0;
    const std::vector<CharacterSpan> lost = LostCharacters(text, Key);
    for (const doctext::Line &line : doctext::SplitLines(text)) {
        for (; next < lost.size() && lost[next].index < fileStart + line.text.size(); ++next)
            positions.push_back(boxStart + static_cast<int>(lost[next].index - fileStart));
        fileStart += line.text.size() + line.lineBreak.size();
        boxStart += static_cast<int>(line.text.size()) + 1;
        while (next < lost.size() && lost[next].index < fileStart)
            ++next; // a break that is itself lost (U+2029) has no character to mark
    }
    return positions;
}

// The marked characters as drawn in view.
std::vector<int> Shown(const frmDocument &document)
{
    return asperson::RedCharacters(*document.txtScript());
}

// The marked characters that are in view, by the marks' own account.
std::vector<int> MarkedInView(const frmDocument &document)
{
    std::vector<int> inView;
    asperson::RedCharacters(*document.txtScript(), &inView);
    std::vector<int> marked;
    std::ranges::set_intersection(document.Marks()->Positions(), inView,
                                  std::back_inserter(marked));
    return marked;
}

// Puts the caret at `position` and types, as a person would, into whatever has the focus;
// "\r" is the Return key and "\x7F" the Delete key.
void Type(frmDocument *document, int position, const QString &keys)
{
    QTextCursor cursor = document->txtScript()->textCursor();
    cursor.setPosition(position);
    document->txtScript()->setTextCursor(cursor);
    document->window()->activateWindow();
    document->txtScript()->setFocus();
    ASSERT_TRUE(QTest::qWaitFor(
        [document] { return QApplication::focusWidget() == document->txtScript(); }));
    for (const QChar key : keys) {
        if (key == QLatin1Char('\r'))
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        else if (key == QChar(0x7F))
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Delete);
        else
            QTest::sendKeyEvent(QTest::Click, QApplication::focusWidget(), Qt::Key_unknown,
                                QString(key), Qt::NoModifier);
    }
}

} // namespace

// Each mark is drawn over its own character: one drawn with no width where it stands, and
// in right-to-left text (or a right-to-left word in a left-to-right line) over the letter,
// not over the digits beside it.
TEST_F(DocumentTest, MarksAreDrawnOverTheirCharactersInEitherDirection)
{
    const struct
    {
        QString text;
        std::vector<int> marked;
    } cases[] = {
        {QStringLiteral("ab\u200Bcd"), {2}},
        {QStringLiteral("\u05D0 123"), {0}},
        {QStringLiteral("\u05D0\u05D1=123 45"), {0, 1}},
        {QStringLiteral("key=\u05D0 123 x"), {4}},
    };
    frmDocument *document = NewDocument();
    for (const auto &c : cases) {
        SCOPED_TRACE(c.text.toStdString());
        document->SetText(c.text);
        EXPECT_EQ(document->Marks()->Positions(), c.marked);
        EXPECT_EQ(Shown(*document), c.marked);
    }
}

TEST_F(DocumentTest, MarksFollowAnInsertionThatMovesPositionDependentUnits)
{
    frmDocument *document = NewDocument();
    // 0xBA survives under key letters up to 'E' (69): at file position 3 ('Z') it is lost,
    // at 4 ('E') it is kept.
    document->SetText(QStringLiteral("ab\u00BA"));
    EXPECT_EQ(document->Marks()->Positions(), (std::vector<int>{2}));
    EXPECT_EQ(Shown(*document), (std::vector<int>{2}));
    Type(document, 0, QStringLiteral("x"));
    EXPECT_TRUE(document->Marks()->Positions().empty());
    EXPECT_TRUE(Shown(*document).empty());
    EXPECT_EQ(document->Marks()->Count(), 0);

    // An edit on the first line changes the fate of a character two lines down, which the
    // box itself has no reason to draw again.
    document->SetText(QStringLiteral("a\n\n\u00BA"));
    EXPECT_TRUE(Shown(*document).empty()) << "file position 4";
    Type(document, 0, QStringLiteral("\x7F"));
    EXPECT_EQ(document->Text(), QStringLiteral("\n\n\u00BA"));
    EXPECT_EQ(Shown(*document), (std::vector<int>{2})) << "file position 3";
    Type(document, 0, QStringLiteral("a"));
    EXPECT_TRUE(Shown(*document).empty());

    // A CR LF takes two units of the file but one place in the box.
    document->SetText(QStringLiteral("a\r\n\u00BA"));
    EXPECT_TRUE(document->Marks()->Positions().empty()) << "file position 4";
    document->SetText(QStringLiteral("a\n\u00BA"));
    EXPECT_EQ(document->Marks()->Positions(), (std::vector<int>{2})) << "file position 3";
    // A line the user adds takes the document's own break, here LF: 0xBA moves to 4.
    Type(document, 0, QStringLiteral("\r"));
    EXPECT_EQ(document->Text(), QStringLiteral("\na\n\u00BA"));
    EXPECT_TRUE(document->Marks()->Positions().empty());
    EXPECT_EQ(document->Marks()->Positions(), ExpectedMarks(*document));
}

TEST_F(DocumentTest, MarksMatchTheTextThroughEveryKindOfEdit)
{
    frmDocument *document = NewDocument();
    const QString loaded =
        QStringLiteral("[unit]\r\nname=\u201Cfront\u201D\r\ntemp=20\u00B0\nmu=\u00B5\r");
    document->SetText(loaded);
    ASSERT_EQ(document->Marks()->Positions(), ExpectedMarks(*document));
    ASSERT_EQ(document->Marks()->Count(), 4);

    // Inserts and deletes of every kind of character anywhere, undo and redo among them.
    const QString pieces[] = {QStringLiteral("a"),       QStringLiteral("\u00BA"),
                              QStringLiteral("\u00A6x"), QStringLiteral("\U0001F600"),
                              QStringLiteral("\u00E9"),  QStringLiteral("\n"),
                              QStringLiteral("\u2029"),  QStringLiteral("xy\u00BE\u00B0z"),
                              QString(QChar(0xD83D)),    QString(QChar(0xDE00))};
    std::mt19937 random(7);
    QTextDocument *text = document->txtScript()->document();
    for (int step = 0; step < 400; ++step) {
        const int length = text->characterCount() - 1;
        QTextCursor cursor(text);
        cursor.setPosition(std::uniform_int_distribution<int>(0, length)(random));
        switch (std::uniform_int_distribution<int>(0, 5)(random)) {
        case 0:
        case 1:
        case 2:
            cursor.insertText(pieces[std::uniform_int_distribution<int>(0, 9)(random)]);
            break;
        case 3: {
            const int end = std::min(length, cursor.position() + 3);
            cursor.setPosition(end, QTextCursor::KeepAnchor);
            cursor.removeSelectedText();
            break;
        }
        case 4:
            text->undo();
            break;
        default:
            text->redo();
            break;
        }
        ASSERT_EQ(document->Marks()->Positions(), ExpectedMarks(*document))
            << "step " << step << ": " << document->Text().toStdString();
        ASSERT_EQ(Shown(*document), MarkedInView(*document)) << "step " << step;
    }

    // Undoing every edit gives back every line break as loaded; redoing them all, the
    // breaks as edited.
    const QString edited = document->Text();
    while (text->isUndoAvailable())
        text->undo();
    EXPECT_EQ(document->Text(), loaded);
    while (text->isRedoAvailable())
        text->redo();
    EXPECT_EQ(document->Text(), edited);
    EXPECT_EQ(document->Marks()->Positions(), ExpectedMarks(*document));
}

// Keys typed before, inside and after marked text, a paste of marked characters, and undo
// and redo of them all: the marks stay on their characters and are drawn where they are.
TEST_F(DocumentTest, MarksStayOnTheirCharactersThroughKeysPasteUndoAndRedo)
{
    const struct
    {
        const char *what;
        int caret;
        QString typed; // "\x16" pastes the clipboard
    } edits[] = {
        {"before the marked text", 0, QStringLiteral("ab")},
        {"inside it, between the halves of a pair", 8, QStringLiteral("\u00B0x")},
        {"a break inside it", 9, QStringLiteral("\r")},
        {"after it", 16, QStringLiteral("z\u00E9")},
        {"a paste of marked characters before it", 1, QStringLiteral("\x16")},
        {"a paste after it", 21, QStringLiteral("\x16")},
        {"Delete over a mark", 4, QStringLiteral("\x7F\x7F")},
    };
    frmDocument *document = NewDocument();
    const QString loaded = QStringLiteral("k=\u201Cv\u00B5\U0001F600\u00B0\u201D\r\nn=\u00BA1");
    document->SetText(loaded);
    QGuiApplication::clipboard()->setText(QStringLiteral("\u00A6\u201C\u00BE"));
    QTextDocument *text = document->txtScript()->document();
    const auto check = [&](const std::string &when) {
        ASSERT_EQ(document->Marks()->Positions(), ExpectedMarks(*document)) << when;
        ASSERT_EQ(Shown(*document), MarkedInView(*document)) << when;
        EXPECT_EQ(document->Marks()->Count(),
                  static_cast<int>(document->Marks()->Positions().size()));
    };
    int steps = 0;
    for (const auto &edit : edits) {
        SCOPED_TRACE(edit.what);
        if (edit.typed == QStringLiteral("\x16")) {
            QTextCursor cursor = document->txtScript()->textCursor();
            cursor.setPosition(edit.caret);
            document->txtScript()->setTextCursor(cursor);
            document->txtScript()->paste();
        } else {
            Type(document, edit.caret, edit.typed);
        }
        ++steps;
        check("after the edit");
    }
    for (int step = 0; step < steps && text->isUndoAvailable(); ++step) {
        text->undo();
        check("after undo " + std::to_string(step));
    }
    while (text->isUndoAvailable())
        text->undo();
    EXPECT_EQ(document->Text(), loaded);
    while (text->isRedoAvailable()) {
        text->redo();
        check("after redo");
    }
}

TEST_F(DocumentTest, TheStatusCountsWhatWillNotSurviveAndThePastTheLimitLength)
{
    frmDocument *document = NewDocument();
    QStringList seen;
    QObject::connect(document, &frmDocument::LossStatusChanged,
                     [&seen](const QString &status) { seen << status; });
    document->SetText(QStringLiteral("plain"));
    EXPECT_EQ(document->LossStatus(), "");
    Type(document, 5, QStringLiteral("\u00E9\u201C"));
    EXPECT_EQ(document->LossStatus(), "2 characters will not survive saving");
    document->SetText(QString(32766, 'a'));
    EXPECT_EQ(document->LossStatus(), "");
    Type(document, 0, QStringLiteral("b"));
    EXPECT_EQ(document->LossStatus(), "32,767 characters, 1 over the limit of 32,766");
    // Told once the key has been handled, as the window draws it.
    QCoreApplication::processEvents();
    EXPECT_EQ(seen.last(), document->LossStatus());
    EXPECT_TRUE(seen.contains("1 character will not survive saving"));
}

// Each step also tells a screen reader, in the box's description, which character the caret
// is at and why a save would lose it; moving on leaves only the count, which follows edits.
TEST_F(DocumentTest, GoToNextLossWalksTheMarksAndWrapsAround)
{
    frmDocument *document = NewDocument();
    EXPECT_FALSE(document->GoToNextLoss());
    const QString anywhere = QStringLiteral(
        " will not survive saving: a config file drops or changes this character wherever "
        "it stands.");
    const QString two =
        QStringLiteral(" 2 characters will not survive saving; F8 goes to the next one.");
    const struct
    {
        QString text;
        std::vector<int> visited;
        QStringList described;
    } rows[] = {
        {QStringLiteral("a\u00E9b\r\n\u201Cc"),
         {1, 4, 1},
         {QStringLiteral("\u00E9 (U+00E9) at line 1, column 2") + anywhere + two,
          QStringLiteral("\u201C (U+201C) at line 2, column 1") + anywhere + two,
          QStringLiteral("\u00E9 (U+00E9) at line 1, column 2") + anywhere + two}},
        // 0xBA survives under key letters up to 'E'; file position 3 has 'Z'.
        {QStringLiteral("ab\u00BA"),
         {2},
         {QStringLiteral("\u00BA (U+00BA) at line 1, column 3 will not survive saving: a config "
                         "file keeps this character at some positions, but not at this one. "
                         "1 character will not survive saving; F8 goes to it.")}},
        // A pair is one column; U+7FFF passes the cipher's limit under every key letter. The
        // walk starts after the caret, at the text's start.
        {QStringLiteral("\U0001F600\u7FFF"),
         {2, 0},
         {QStringLiteral("\u7FFF (U+7FFF) at line 1, column 2 will not survive saving: a config "
                         "file cannot hold this character at all, and saving is refused while "
                         "it is here.") +
              two,
          QStringLiteral("\U0001F600 (U+1F600) at line 1, column 1") + anywhere + two}},
    };
    PlainTextBox *box = document->txtScript();
    for (const auto &row : rows) {
        SCOPED_TRACE(row.text.toStdString());
        document->SetText(row.text);
        QTextCursor start = box->textCursor();
        start.setPosition(0);
        box->setTextCursor(start);
        std::vector<int> visited;
        QStringList described;
        for (std::size_t i = 0; i < row.visited.size(); ++i) {
            ASSERT_TRUE(document->GoToNextLoss());
            visited.push_back(box->textCursor().position());
            described << accessible::Read(*box).description;
        }
        EXPECT_EQ(visited, row.visited);
        EXPECT_EQ(described.join(u'\n').toStdString(), row.described.join(u'\n').toStdString());
    }

    document->SetText(QStringLiteral("a\u00E9b\r\n\u201Cc"));
    ASSERT_TRUE(document->GoToNextLoss());
    Type(document, 0, QStringLiteral("\u00E9"));
    EXPECT_EQ(accessible::Read(*box).description,
              QStringLiteral("3 characters will not survive saving; F8 goes to the next one."));
    document->SetText(QStringLiteral("plain"));
    EXPECT_EQ(accessible::Read(*box).description,
              QStringLiteral("Every character will survive saving."));
}

// The marks' tint keeps a contrast of 3:1 to the background, on a light palette and a dark
// one, and the text on it stays readable; measured on the pixels drawn.
TEST_F(DocumentTest, MarksStandOutFromTheBackgroundInLightAndDarkPalettes)
{
    EXPECT_NEAR(ContrastRatio(QColor(0x77, 0x77, 0x77), Qt::white), 4.48, 0.01);
    frmDocument *document = NewDocument();
    PlainTextBox *box = document->txtScript();
    document->SetText(QStringLiteral("ab\u00E9\u00E9\u00E9\u00E9cd\n"));
    QPalette dark = box->palette();
    dark.setColor(QPalette::Base, QColor(30, 30, 34));
    dark.setColor(QPalette::Text, QColor(230, 230, 230));
    for (const QPalette &palette : {box->palette(), dark}) {
        SCOPED_TRACE(palette.color(QPalette::Base).name().toStdString());
        box->setPalette(palette);
        const QImage image = box->viewport()->grab().toImage();
        // At the right end of the empty last line.
        const QRect empty = box->LineRect(box->document()->lastBlock().position());
        const QColor background = image.pixelColor(empty.right() - 2, empty.center().y());
        const QRect cell = box->CharacterRect(2, 4).toAlignedRect().intersected(image.rect());
        ASSERT_FALSE(cell.isEmpty());
        // What shows most in the cell is what shows between the glyphs' strokes.
        std::map<QRgb, int> colours;
        for (int y = cell.top(); y <= cell.bottom(); ++y)
            for (int x = cell.left(); x <= cell.right(); ++x)
                ++colours[image.pixel(x, y)];
        const QColor tint =
            std::ranges::max_element(colours, {}, &std::pair<const QRgb, int>::second)->first;
        EXPECT_GE(ContrastRatio(tint, background), 3.0)
            << qPrintable(tint.name()) << " on " << qPrintable(background.name());
        double glyphs = 0;
        for (const auto &[rgb, pixels] : colours)
            glyphs = std::max(glyphs, ContrastRatio(QColor(rgb), tint));
        EXPECT_GE(glyphs, 3.0) << "the text on " << qPrintable(tint.name());
        EXPECT_EQ(Shown(*document), (std::vector<int>{2, 3, 4, 5}));
    }
}

// The question's three answers.

namespace {

const QString Pasted = QStringLiteral("name=\u201Cfront\u201D caf\u00E9\r\nrange=1\u20132\r\n");

} // namespace

TEST_F(DocumentTest, ReplaceAndSaveWritesTheNearestCharactersAndUndoTakesThemBack)
{
    WriteConfig(Path("a.cfg"), "old");
    frmDocument *document = NewDocument();
    document->LoadFile(Path("a.cfg"));
    document->SetText(Pasted);
    modal->AnswerQuestion(0);
    document->Save();

    ASSERT_EQ(modal->asked().size(), 1u);
    const ScriptedModal::Asked &asked = modal->asked()[0];
    EXPECT_EQ(asked.kind, ScriptedModal::Kind::Question);
    EXPECT_EQ(asked.title, "Characters Will Be Lost");
    EXPECT_EQ(asked.buttons, (QStringList{"&Replace and Save", "Save As It &Is", "Cancel"}));
    EXPECT_EQ(asked.defaultButton, 2) << "Enter saves nothing";
    EXPECT_EQ(asked.text.toStdString(),
              "4 characters of this text will not come back when the file is opened again: a "
              "Torvane config file drops or changes them.\n\n\u201C (U+201C) at line 1, column "
              "6\n\u201D (U+201D) at line 1, column 12\n\u00E9 (U+00E9) at line 1, column 17\n"
              "\u2013 (U+2013) at line 2, column 8\n\nReplace them with the nearest characters "
              "that the file keeps and save, save the text as it is, or cancel?");

    const QString replaced = QStringLiteral("name=\"front\" cafe\r\nrange=1-2\r\n");
    EXPECT_EQ(document->Text(), replaced);
    EXPECT_EQ(
        ReadBytes(Path("a.cfg")),
        QByteArray(reinterpret_cast<const char *>(EnCrypt(replaced.toStdU16String(), Key).data()),
                   replaced.size() * 2));
    EXPECT_FALSE(document->Changed());
    EXPECT_EQ(document->Marks()->Count(), 0);

    document->txtScript()->undo();
    EXPECT_EQ(document->Text(), Pasted);
    EXPECT_TRUE(document->Changed());
}

// The replacements happen where the user is not looking: the caret stays before the same
// character, and undoing them brings it back there rather than to the top of the text.
TEST_F(DocumentTest, ReplaceAndSaveKeepsTheCaretWhereItWasAndUndoReturnsIt)
{
    const struct
    {
        QString text;
        int caret;         // a box position, before a character
        int caretReplaced; // the same place after the replacements
    } cases[] = {
        {Pasted, 25, 25},                                  // on the dash, after three others
        {QStringLiteral("a\U0001F600b\u00E9c"), 4, 3},     // after a pair that becomes one
        {QStringLiteral("\u201Cx\u201D\r\nplain"), 9, 9},  // past every one of them
        {QStringLiteral("\u201C\U0001F600b\u201D"), 3, 2}, // between two on one line
        {QStringLiteral("caz\u0301e"), 4, 3},              // after a mark dropped
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.text.toStdString());
        WriteConfig(Path("c.cfg"), "old");
        frmDocument *document = NewDocument();
        document->LoadFile(Path("c.cfg"));
        document->SetText(c.text);
        QTextCursor caret = document->txtScript()->textCursor();
        caret.setPosition(c.caret);
        document->txtScript()->setTextCursor(caret);

        modal->AnswerQuestion(0);
        document->Save();
        EXPECT_EQ(document->txtScript()->textCursor().position(), c.caretReplaced);
        document->txtScript()->undo();
        EXPECT_EQ(document->Text(), c.text);
        EXPECT_EQ(document->txtScript()->textCursor().position(), c.caret);
        document->setChanged(false);
        document->close();
    }
}

TEST_F(DocumentTest, SaveAsItIsWritesWhatTheDesignWritesAndCancelWritesNothing)
{
    WriteConfig(Path("a.cfg"), "old");
    const QByteArray old = ReadBytes(Path("a.cfg"));
    frmDocument *document = NewDocument();
    document->LoadFile(Path("a.cfg"));
    document->SetText(Pasted);

    modal->AnswerQuestion(2);
    document->Save();
    EXPECT_EQ(ReadBytes(Path("a.cfg")), old);
    EXPECT_TRUE(document->Changed());
    EXPECT_EQ(document->Text(), Pasted);

    modal->AnswerQuestion(1);
    document->Save();
    EXPECT_EQ(ReadConfig(Path("a.cfg")).toStdU16String(),
              DeCrypt(EnCrypt(Pasted.toStdU16String(), Key), Key));
    EXPECT_FALSE(document->Changed());
    EXPECT_EQ(document->Text(), Pasted) << "the text stays as the user has it";
    EXPECT_EQ(modal->asked().size(), 2u);

    // The close question's save asks it too.
    Type(document, 0, QStringLiteral("\u00E9"));
    modal->AnswerMessage(MsgAnswer::Yes);
    modal->AnswerSave(Path("b.cfg"));
    modal->AnswerQuestion(2);
    EXPECT_FALSE(document->QueryUnload(0)) << "nothing saved: the window stays";
    EXPECT_FALSE(QFile::exists(Path("b.cfg")));
    EXPECT_EQ(modal->asked().back().title, "Characters Will Be Lost");
}

TEST_F(DocumentTest, APlainTextSavesWithoutANewQuestion)
{
    WriteConfig(Path("a.cfg"), "old");
    frmDocument *document = NewDocument();
    document->LoadFile(Path("a.cfg"));
    // Every unit from 1 to 0xA5 is kept at every position.
    QString text;
    for (char16_t unit = 1; unit <= 0xA5; ++unit)
        text += QChar(unit);
    document->SetText(text + "\r\nport=COM1\n");
    document->Save();
    modal->AnswerSave(Path("b.cfg"));
    document->SaveFileAs();
    EXPECT_EQ(modal->asked().size(), 1u) << "only the save dialog";
    EXPECT_EQ(ReadConfig(Path("b.cfg")), document->Text());
}

TEST_F(DocumentTest, ReplacingKeepsEveryUnitWhereAShrunkPairMovesTheRest)
{
    WriteConfig(Path("a.cfg"), "old");
    frmDocument *document = NewDocument();
    document->LoadFile(Path("a.cfg"));
    // The pair becomes one "?", which moves 0xBA from position 4 to the bad position 3;
    // U+2029 is a line break of the box and is replaced with the lines joined.
    document->SetText(QStringLiteral("\U0001F600x\u00BA\r\nend\u2029z"));
    modal->AnswerQuestion(0);
    document->Save();
    EXPECT_EQ(document->Text(), "?x?\r\nend?z");
    EXPECT_EQ(ReadConfig(Path("a.cfg")), "?x?\r\nend?z");
    EXPECT_FALSE(document->Changed());
}

TEST_F(DocumentTest, SaveAsItIsRefusesUnitsTheCipherCannotTake)
{
    WriteConfig(Path("a.cfg"), "old");
    const QByteArray old = ReadBytes(Path("a.cfg"));
    frmDocument *document = NewDocument();
    document->LoadFile(Path("a.cfg"));
    document->SetText(QStringLiteral("ok\n") + QChar(0x7FFF));
    modal->AnswerQuestion(1);
    try {
        document->Save();
        ADD_FAILURE() << "no error";
    } catch (const RunTimeError &error) {
        EXPECT_EQ(error.Number, ErrorNumber::Overflow);
        EXPECT_EQ(error.Description,
                  "The character \u7FFF (U+7FFF) at line 2, column 1 cannot be written to a "
                  "Torvane config file at all. Replace or remove it, then save again.");
    }
    EXPECT_EQ(ReadBytes(Path("a.cfg")), old);
    EXPECT_TRUE(document->Changed());
}

// Read-back.

namespace {

// Writes to the disk, but reads back through `alter`, as a failing disk might.
class AlteringFiles : public FileLayer
{
public:
    explicit AlteringFiles(std::function<void(Contents &)> alter) : m_alter(std::move(alter)) {}
    Contents Read(const std::u16string &path) override
    {
        Contents contents = DiskFileLayer().Read(path);
        if (m_reads++ > 0 || !m_skipFirst)
            m_alter(contents);
        return contents;
    }
    void Write(const std::u16string &path, const std::u16string &units) override
    {
        DiskFileLayer().Write(path, units);
    }
    bool m_skipFirst = true; // the load
    int m_reads = 0;

private:
    std::function<void(Contents &)> m_alter;
};

} // namespace

TEST_F(DocumentTest, AFileThatReadsBackOtherwiseIsReportedAndTheDocumentStaysChanged)
{
    const struct
    {
        const char *what;
        std::function<void(FileLayer::Contents &)> alter;
    } disks[] = {
        {"a changed unit", [](FileLayer::Contents &c) { c.units[1] ^= 0x01; }},
        {"a short file", [](FileLayer::Contents &c) { c.units.pop_back(); }},
        {"an odd last byte", [](FileLayer::Contents &c) { c.oddLength = true; }},
        {"a high byte",
         [](FileLayer::Contents &c) { c.units[0] = static_cast<char16_t>(c.units[0] | 0x100); }},
    };
    for (const auto &disk : disks) {
        WriteConfig(Path("a.cfg"), "old");
        AlteringFiles files(disk.alter);
        frmDocument *document = NewDocument();
        document->SetFileLayer(files);
        document->LoadFile(Path("a.cfg"));
        Type(document, 3, QStringLiteral("er"));
        try {
            document->Save();
            ADD_FAILURE() << disk.what << ": no error";
        } catch (const RunTimeError &error) {
            EXPECT_EQ(error.Description,
                      Path("a.cfg").toStdString() +
                          ": The file was written, but reading it back gave a different text: "
                          "the file on disk does not hold the text of this document. The "
                          "document stays marked as changed.")
                << disk.what;
        }
        EXPECT_TRUE(document->Changed()) << disk.what;

        // Save As shows it in its own box and keeps the old name.
        modal->AnswerSave(Path("b.cfg"));
        modal->AnswerMessage(MsgAnswer::OK);
        document->SaveFileAs();
        EXPECT_TRUE(modal->asked().back().text.endsWith("The document stays marked as changed."))
            << disk.what;
        EXPECT_EQ(document->FileName, Path("a.cfg"));
        EXPECT_TRUE(document->Changed()) << disk.what;
        document->setChanged(false);
        document->close();
        QFile::remove(Path("b.cfg"));
    }
}

// Opening a file with positions the text cannot show.

TEST_F(DocumentTest, AFileWithUnshownPositionsWarnsOnceClosesQuietlyAndAsksOnItsFirstSave)
{
    std::u16string stored = EnCrypt(u"key=value", Key);
    stored[0] = 0x05;   // below its key code: dropped
    stored[4] = 0x0161; // a high byte: changed
    WriteUnicodeFile(Path("t.cfg").toStdU16String(), stored, false);
    const QByteArray bytes = ReadBytes(Path("t.cfg"));

    // A set high byte is nothing a save writes: read as a damaged config file on request.
    modal->AnswerQuestion(1);
    modal->AnswerMessage(MsgAnswer::OK);
    frmDocument *document = NewDocument();
    document->LoadFile(Path("t.cfg"));
    ASSERT_EQ(modal->asked().size(), 2u);
    EXPECT_EQ(modal->asked()[0].buttons[1], "Decipher Anyway");
    EXPECT_EQ(modal->asked()[1].title, "Positions Not Shown");
    EXPECT_EQ(modal->asked()[1].style, MsgStyle::OKOnly + MsgStyle::Information);
    EXPECT_EQ(modal->asked()[1].text,
              Path("t.cfg") + "\n\n2 positions of this file cannot be shown: deciphering drops "
                              "or changes them. Saving will rewrite the file without them.");
    EXPECT_FALSE(document->Changed());

    // The first Save asks; Cancel writes nothing.
    modal->AnswerQuestion(1);
    document->Save();
    EXPECT_EQ(ReadBytes(Path("t.cfg")), bytes);
    const ScriptedModal::Asked &question = modal->asked().back();
    EXPECT_EQ(question.title, "Save Without Unshown Positions?");
    EXPECT_EQ(question.buttons, (QStringList{"&Save", "Cancel"}));
    EXPECT_EQ(question.defaultButton, 1) << "Enter keeps the file";
    EXPECT_EQ(question.text,
              Path("t.cfg") + "\n\nWhen this file was opened, 2 positions of it could not be "
                              "shown. Saving now rewrites the file without them. Save it anyway?");

    // Saving writes the text as shown, and later saves ask nothing.
    modal->AnswerQuestion(0);
    document->Save();
    EXPECT_EQ(ReadConfig(Path("t.cfg")), document->Text());
    document->Save();
    EXPECT_EQ(modal->asked().size(), 4u);
}

TEST_F(DocumentTest, AnUnchangedDocumentWithUnshownPositionsClosesWithoutAQuestion)
{
    WriteBytes(Path("t.cfg"), QByteArray("\x05\0\xA4\0\xC0", 5));
    modal->AnswerMessage(MsgAnswer::OK);
    frmDocument *document = NewDocument();
    document->LoadFile(Path("t.cfg"));
    EXPECT_TRUE(modal->asked()[0].text.contains("\n\n2 positions")) << "0x05 and the odd byte";
    // Save As to another file leaves this one as it is, so it asks nothing either.
    modal->AnswerSave(Path("copy.cfg"));
    document->SaveFileAs();
    EXPECT_EQ(ReadConfig(Path("copy.cfg")), document->Text());
    EXPECT_TRUE(document->close());
    ASSERT_EQ(modal->asked().size(), 2u);
    EXPECT_EQ(modal->asked()[1].kind, ScriptedModal::Kind::Save);
    EXPECT_EQ(ReadBytes(Path("t.cfg")), QByteArray("\x05\0\xA4\0\xC0", 5));
}

TEST_F(DocumentTest, MarksAreDrawnWhereverTheViewScrolls)
{
    frmDocument *document = NewDocument();
    QString text = QStringLiteral("\u00E9");
    for (int line = 0; line < 3000; ++line)
        text += QStringLiteral("line %1\r\n").arg(line);
    text += QStringLiteral("\u201C");
    document->SetText(text);
    const int last = document->txtScript()->document()->characterCount() - 2;
    EXPECT_EQ(document->Marks()->Count(), 2);
    EXPECT_EQ(document->Marks()->Positions(), (std::vector<int>{0, last}));
    EXPECT_EQ(Shown(*document), (std::vector<int>{0})) << "the far end is not in view";

    QScrollBar *bar = document->txtScript()->verticalScrollBar();
    bar->setValue(bar->maximum());
    EXPECT_TRUE(
        QTest::qWaitFor([document, last] { return Shown(*document) == std::vector<int>{last}; }));
    bar->setValue(0);
    EXPECT_TRUE(QTest::qWaitFor([document] { return Shown(*document) == std::vector<int>{0}; }));
}
