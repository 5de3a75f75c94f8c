// torvane-cfg run in-process, as a script or git would run it: the arguments, standard
// input, and what comes out on standard output, standard error and in files.
#include "CfgTool.h"
#include "Encryption.h"
#include "ScratchFolder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

#ifndef _WIN32
#include <sys/stat.h>
#endif

namespace {

struct Outcome
{
    int status = -1;
    std::string out, err;
};

Outcome RunTool(const std::vector<std::string> &arguments, const std::string &input = {})
{
    std::istringstream in(input);
    std::ostringstream out, err;
    Outcome outcome;
    outcome.status = cfgtool::Run(arguments, in, out, err);
    outcome.out = out.str();
    outcome.err = err.str();
    return outcome;
}

// The file the editor writes for ASCII `text`, built here byte by byte from the cipher's
// rule rather than through the tool.
std::string Enciphered(const std::string &text)
{
    const std::string key = "BRAZENTO";
    std::string bytes;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const int k = key[(i + 1) % key.size()];
        bytes.push_back(static_cast<char>((static_cast<unsigned char>(text[i]) + k) % 256));
        bytes.push_back('\0');
    }
    return bytes;
}

// Printable ASCII with every kind of line break, `units` long.
std::string SampleText(std::size_t units)
{
    const std::string pattern = "Key=Value 12;\r\n[Section]\n\tx\r~ ";
    std::string text;
    while (text.size() < units)
        text += pattern;
    text.resize(units);
    return text;
}

class CfgTool : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(dir.valid()); }
    std::string Put(const std::string &name, const std::string &bytes)
    {
        PutBytes(dir.path(name), bytes);
        return dir.path(name);
    }
    ScratchFolder dir;
};

TEST_F(CfgTool, EveryGoldenFileDecodesToItsTextEncodesBackAndChecksClean)
{
    int files = 0;
    for (const auto &entry : std::filesystem::directory_iterator(CODEC_TEST_DATA)) {
        if (entry.path().extension() != ".cfg")
            continue;
        ++files;
        const std::string cfg = entry.path().string();
        std::filesystem::path txt = entry.path();
        txt.replace_extension(".txt");
        const auto bytes = GetBytes(cfg);
        const auto text = GetBytes(txt.string());
        ASSERT_TRUE(bytes && text) << cfg;

        const Outcome decoded = RunTool({"decode", cfg});
        EXPECT_EQ(decoded.status, cfgtool::Success) << decoded.err;
        EXPECT_EQ(decoded.out, *text) << cfg;
        EXPECT_EQ(decoded.err, "");

        const Outcome toStdout = RunTool({"encode"}, *text);
        EXPECT_EQ(toStdout.status, cfgtool::Success) << toStdout.err;
        EXPECT_EQ(toStdout.out, *bytes) << cfg;

        const std::string saved = dir.path("saved.cfg");
        EXPECT_EQ(RunTool({"encode", "-o", saved}, *text).status, cfgtool::Success);
        EXPECT_EQ(GetBytes(saved), bytes) << cfg;

        const Outcome checked = RunTool({"check", cfg});
        EXPECT_EQ(checked.status, cfgtool::Success);
        EXPECT_EQ(checked.out, cfg + ": round-trips\n");
    }
    EXPECT_GT(files, 0) << "no golden files in " CODEC_TEST_DATA;
}

TEST_F(CfgTool, TextsUpToTheLimitRoundTripWithTheirLineBreaks)
{
    for (const std::size_t units :
         {std::size_t(0), std::size_t(1), std::size_t(32765), std::size_t(32766)}) {
        const std::string text = SampleText(units);
        // A name of 254 bytes in two-byte letters leaves no room for a longer temporary.
        std::string longName;
        while (longName.size() < 250)
            longName += "\xC3\xA9";
#ifdef _WIN32
        // The arguments come in the system's code page there, not as UTF-8.
        const std::string file = dir.path("limit.cfg");
#else
        const std::string file = dir.path(units % 2 ? longName + ".cfg" : "limit.cfg");
#endif
        for (const std::string &option : {std::string("-o"), std::string("--output=")}) {
            std::filesystem::remove(file);
            const auto arguments = option == "-o"
                                       ? std::vector<std::string>{"encode", "-o", file}
                                       : std::vector<std::string>{"encode", option + file};
            const Outcome encoded = RunTool(arguments, text);
            ASSERT_EQ(encoded.status, cfgtool::Success) << encoded.err;
            EXPECT_EQ(encoded.out, "");
            EXPECT_EQ(GetBytes(file), Enciphered(text)) << units << " units";
            const Outcome decoded = RunTool({"decode", "--force", file});
            EXPECT_EQ(decoded.status, cfgtool::Success);
            EXPECT_EQ(decoded.out, text) << units << " units";
        }
    }
}

TEST_F(CfgTool, BadInputsGetOneLineNamingTheFileAndNothingIsWritten)
{
    const std::string odd = Put("odd.cfg", Enciphered("abc") + "x");
    const std::string big = Put("big.cfg", Enciphered(SampleText(32767)));
    const std::string atLimit = Put("limit.cfg", Enciphered(SampleText(32766)));
    std::filesystem::create_directory(dir.path("folder.cfg"));
    const std::string missing = dir.path("missing.cfg");
    const std::string folder = dir.path("folder.cfg");
#ifndef _WIN32
    const std::string fifo = dir.path("fifo.cfg");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
#endif
    const struct
    {
        std::string file, reason;
    } cases[] = {
        {missing, "no such file"},
        {big, "65,534 bytes, over the limit of 65,532 bytes for a config file"},
        {folder, "is a folder, not a file"},
#ifndef _WIN32
        {fifo, "not a plain file"}, // looked at without waiting for a writer
#endif
    };
    for (const auto &c : cases) {
        for (const std::string command : {"decode", "check"}) {
            const Outcome outcome = RunTool({command, c.file});
            EXPECT_EQ(outcome.status, cfgtool::Failure) << command << ' ' << c.file;
            EXPECT_EQ(outcome.out, "") << command << ' ' << c.file;
            EXPECT_EQ(outcome.err, "torvane-cfg: " + c.file + ": " + c.reason + "\n");
        }
    }
    EXPECT_EQ(RunTool({"decode", atLimit}).status, cfgtool::Success);

    // An odd length is read as the editor opens it (a git textconv must not fail on it),
    // but it cannot round-trip.
    const Outcome oddDecoded = RunTool({"decode", odd});
    EXPECT_EQ(oddDecoded.status, cfgtool::Success);
    EXPECT_EQ(oddDecoded.out, "abc" + std::string(1, char('x' - 'E'))); // key letter E
    EXPECT_EQ(oddDecoded.err, "torvane-cfg: " + odd +
                                  ": odd length (7 bytes): the last byte is read as a character "
                                  "of its own, as the editor opens it\n");
    EXPECT_EQ(RunTool({"check", odd}).err,
              "torvane-cfg: " + odd +
                  ": odd length (7 bytes): a config file holds two bytes for each character\n");

    // A bad file among good ones: the others are still checked, and the status says so.
    const Outcome mixed = RunTool({"check", atLimit, missing, atLimit});
    EXPECT_EQ(mixed.status, cfgtool::Failure);
    EXPECT_EQ(mixed.out, atLimit + ": round-trips\n" + atLimit + ": round-trips\n");
}

TEST_F(CfgTool, EncodeRefusesInputItCannotStoreAndLeavesTheOldFileAlone)
{
    const struct
    {
        std::string input, error;
    } cases[] = {
        {"ok\n\xC3\x28",
         "torvane-cfg: standard input: invalid UTF-8 at line 2, column 1 (byte 4)\n"},
        {"\xEF\xBB\xBFok\xFF", "torvane-cfg: standard input: invalid UTF-8 at line 1, column 3 "
                               "(byte 6)\n"},
        {SampleText(32767), "torvane-cfg: standard input: the text has 32,767 UTF-16 code units; "
                            "a config file holds at most 32,766\n"},
        {"k=\xE2\x80\x9Cv\xE2\x80\x9D\r\n\xC3\xA9",
         "torvane-cfg: standard input: line 1, column 3: U+201C would not survive (it reads "
         "back as U+001C)\n"
         "torvane-cfg: standard input: line 1, column 5: U+201D would not survive (it reads "
         "back as U+001D)\n"
         "torvane-cfg: standard input: line 2, column 1: U+00E9 would not survive (it is "
         "dropped)\n"
         "torvane-cfg: standard input: nothing written; --lossy writes such characters anyway\n"},
        {std::string("a\0b", 3), "torvane-cfg: standard input: line 1, column 2: U+0000 would "
                                 "not survive (it is dropped)\n"
                                 "torvane-cfg: standard input: nothing written; --lossy writes "
                                 "such characters anyway\n"},
        {"\xF0\x9F\x98\x80", "torvane-cfg: standard input: line 1, column 1: U+1F600 would not "
                             "survive (it reads back as U+003D)\n"
                             "torvane-cfg: standard input: nothing written; --lossy writes "
                             "such characters anyway\n"},
        // Placed as the editor places them: a pair takes two columns, U+2029 ends a line.
        {"\xF0\x9F\x98\x80\xC3\xA9\xE2\x80\xA9\xE2\x80\x9C",
         "torvane-cfg: standard input: line 1, column 1: U+1F600 would not survive (it reads "
         "back as U+003D)\n"
         "torvane-cfg: standard input: line 1, column 2: U+00E9 would not survive (it is "
         "dropped)\n"
         "torvane-cfg: standard input: line 1, column 3: U+2029 would not survive (it reads "
         "back as U+0029)\n"
         "torvane-cfg: standard input: line 2, column 1: U+201C would not survive (it reads "
         "back as U+001C)\n"
         "torvane-cfg: standard input: nothing written; --lossy writes such characters anyway\n"},
    };
    const std::string file = Put("old.cfg", Enciphered("old"));
    for (const auto &c : cases) {
        for (const bool toFile : {false, true}) {
            const Outcome outcome =
                toFile ? RunTool({"encode", "-o", file}, c.input) : RunTool({"encode"}, c.input);
            EXPECT_EQ(outcome.status, cfgtool::Failure);
            EXPECT_EQ(outcome.out, "");
            EXPECT_EQ(outcome.err, c.error);
            EXPECT_EQ(GetBytes(file), Enciphered("old"));
            EXPECT_EQ(dir.names(), (std::set<std::string>{"old.cfg"}));
        }
    }
}

TEST_F(CfgTool, AFileThatCannotBeWrittenIsNamedWithTheSystemsReason)
{
    const std::string target = dir.path("no-such-folder/out.cfg");
    const Outcome outcome = RunTool({"encode", "-o", target}, "text");
    EXPECT_EQ(outcome.status, cfgtool::Failure);
    EXPECT_TRUE(outcome.err.starts_with("torvane-cfg: Cannot write \"" + target + "\": "))
        << outcome.err;
    EXPECT_EQ(outcome.err.find('\n'), outcome.err.size() - 1) << "one line";
    EXPECT_EQ(dir.names(), std::set<std::string>{});
}

TEST_F(CfgTool, LossyWritesWhatTheEditorsPlainSaveWrites)
{
    const std::u16string text = u"k=\u201Cv\u201D\r\n\u00E9x";
    const Outcome outcome =
        RunTool({"encode", "--lossy"}, "k=\xE2\x80\x9Cv\xE2\x80\x9D\r\n\xC3\xA9x");
    EXPECT_EQ(outcome.status, cfgtool::Success);
    EXPECT_EQ(outcome.err, "torvane-cfg: standard input: 3 code unit(s) will not read back as "
                           "written (--lossy)\n");
    std::string expected;
    for (const char16_t unit : EnCrypt(text, DocumentKey)) {
        expected.push_back(static_cast<char>(unit & 0xFF));
        expected.push_back(static_cast<char>(unit >> 8));
    }
    EXPECT_EQ(outcome.out, expected);

    // Units the cipher's arithmetic cannot take are refused even so: the editor's save
    // fails on them too.
    const Outcome overflow = RunTool({"encode", "--lossy"}, "ab\xE7\xBF\xBF");
    EXPECT_EQ(overflow.status, cfgtool::Failure);
    EXPECT_EQ(overflow.out, "");
    EXPECT_EQ(overflow.err, "torvane-cfg: standard input: line 1, column 3: U+7FFF cannot be "
                            "enciphered at all\n"
                            "torvane-cfg: standard input: nothing written\n");
}

TEST_F(CfgTool, CheckListsEachPositionThatDecipheringLoses)
{
    std::string bytes = Enciphered("abcdef");
    bytes[2] = 'A';    // position 2, key 'A' (65): 65 - 65 = 0, dropped
    bytes[7] = '\x01'; // position 4, high byte: read back as another unit
    bytes[8] = '\x00'; // position 5, stored 0x0000: dropped
    bytes[10] = '\x00';
    bytes[11] = '\x80'; // position 6, key 'T' (84): 0x8000 - 84 overflows
    const std::string file = Put("damaged.cfg", bytes);
    const std::string good = Put("good.cfg", Enciphered("abc"));

    // Set high bytes are nothing a save writes: told so, and listed only when asked.
    const Outcome refused = RunTool({"check", file});
    EXPECT_EQ(refused.status, cfgtool::Failure);
    EXPECT_EQ(refused.out, file + ": not a config file (byte 7 is 0x01; every second byte of "
                                  "a config file is 0); --force lists its positions anyway\n");
    const Outcome outcome = RunTool({"check", "--force", good, file});
    EXPECT_EQ(outcome.status, cfgtool::Failure);
    EXPECT_EQ(outcome.err, "");
    EXPECT_EQ(outcome.out,
              good + ": round-trips\n" + file +
                  ": does not round-trip: 4 of 6 positions are lost or changed\n" + file +
                  ": position 2 (byte 2): stored U+0041 is dropped\n" + file +
                  ": position 4 (byte 6): stored U+01A9 reads as U+0064\n" + file +
                  ": position 5 (byte 8): stored U+0000 is dropped\n" + file +
                  ": position 6 (byte 10): stored U+8000 is out of the cipher's range: the file "
                  "cannot be opened\n");

    const Outcome decoded = RunTool({"decode", "--force", file});
    EXPECT_EQ(decoded.status, cfgtool::Failure);
    EXPECT_EQ(decoded.out, "");
    EXPECT_EQ(decoded.err, "torvane-cfg: " + file +
                               ": cannot be deciphered: unit 6 (U+8000) is out of the cipher's "
                               "range\n");

    bytes.resize(10); // without the overflow, decode shows what the editor shows
    const std::string readable = Put("readable.cfg", bytes);
    const Outcome shown = RunTool({"decode", "--force", readable});
    EXPECT_EQ(shown.status, cfgtool::Success);
    EXPECT_EQ(shown.out, "acd");
    EXPECT_EQ(shown.err, "torvane-cfg: " + readable +
                             ": 3 position(s) do not decipher to what is stored; 'torvane-cfg "
                             "check' lists them\n");
}

TEST_F(CfgTool, AWrongCommandLineSaysWhatIsWrongWithStatusTwo)
{
    const std::string file = Put("a.cfg", Enciphered("a"));
    const struct
    {
        std::vector<std::string> arguments;
        std::string first;
    } cases[] = {
        {{}, "torvane-cfg: a command is needed: decode, encode or check\n"},
        {{"show", file}, "torvane-cfg: unknown command 'show'\n"},
        {{"decode"}, "torvane-cfg: decode: a FILE is needed\n"},
        {{"decode", file, file}, "torvane-cfg: decode: one FILE at a time\n"},
        {{"decode", "-x", file}, "torvane-cfg: decode: unknown option '-x'\n"},
        {{"decode", "--lossy", file}, "torvane-cfg: decode: unknown option '--lossy'\n"},
        {{"check"}, "torvane-cfg: check: at least one FILE is needed\n"},
        {{"encode", "-o"}, "torvane-cfg: encode: -o needs a FILE\n"},
        {{"encode", "--output="}, "torvane-cfg: encode: the output FILE name is empty\n"},
        {{"encode", file},
         "torvane-cfg: encode: reads standard input; name the output with -o "
         "FILE\n"},
    };
    for (const auto &c : cases) {
        const Outcome outcome = RunTool(c.arguments, "a");
        EXPECT_EQ(outcome.status, cfgtool::Usage) << c.first;
        EXPECT_EQ(outcome.out, "");
        EXPECT_EQ(outcome.err, c.first + "Try 'torvane-cfg --help' for more information.\n");
    }
    EXPECT_EQ(GetBytes(file), Enciphered("a"));

    // "--" ends the options, for file names that begin with a dash.
    const std::string dashed = Put("-d.cfg", Enciphered("dash"));
    const std::filesystem::path here = std::filesystem::current_path();
    std::filesystem::current_path(dir.path());
    const Outcome outcome = RunTool({"decode", "--", "-d.cfg"});
    std::filesystem::current_path(here);
    EXPECT_EQ(outcome.status, cfgtool::Success) << outcome.err;
    EXPECT_EQ(outcome.out, "dash");
}

TEST_F(CfgTool, HelpAndVersionGoToStandardOutput)
{
    for (const std::string option : {"--help", "-h"}) {
        const Outcome help = RunTool({option});
        EXPECT_EQ(help.status, cfgtool::Success);
        EXPECT_EQ(help.err, "");
        EXPECT_TRUE(help.out.starts_with("Usage: torvane-cfg COMMAND")) << help.out;
        EXPECT_NE(help.out.find("git config diff.torvane-cfg.textconv"), std::string::npos);
    }
    const Outcome version = RunTool({"--version"});
    EXPECT_EQ(version.status, cfgtool::Success);
    EXPECT_EQ(version.out, "torvane-cfg " TORVANE_TEST_VERSION "\n");
}

} // namespace

TEST_F(CfgTool, PlainFilesAreRefusedUnlessForcedAndDashIsAStandardStream)
{
    const std::string plainText = "[General]\r\nname=unit 1\r\n";
    const std::string plain = Put("plain.ini", plainText);
    const Outcome decoded = RunTool({"decode", plain});
    EXPECT_EQ(decoded.status, cfgtool::Failure);
    EXPECT_EQ(decoded.out, "");
    EXPECT_EQ(decoded.err, "torvane-cfg: " + plain +
                               ": not a config file (byte 1 is 0x47; every second byte of a "
                               "config file is 0); --force deciphers it anyway\n");
    EXPECT_EQ(RunTool({"decode", "--force", plain}).status, cfgtool::Success);
    // As git's textconv, a file that is not ours is shown as it is, odd length and all.
    EXPECT_EQ(RunTool({"decode", "--textconv", plain}).out, plainText);
    EXPECT_EQ(RunTool({"decode", "--textconv", "-"}, "a=1\n").out, "a=1\n");
    EXPECT_EQ(RunTool({"decode", "--textconv", "-"}, Enciphered("a=1")).out, "a=1");
    const Outcome checked = RunTool({"check", plain});
    EXPECT_EQ(checked.status, cfgtool::Failure);
    EXPECT_TRUE(checked.out.starts_with(plain + ": not a config file (")) << checked.out;

    // "-" reads standard input and writes standard output; a UTF-8 mark is no character.
    const std::string bytes = Enciphered("a=1\r\n");
    EXPECT_EQ(RunTool({"decode", "-"}, bytes).out, "a=1\r\n");
    EXPECT_EQ(RunTool({"check", "-"}, bytes).out, "standard input: round-trips\n");
    EXPECT_EQ(RunTool({"decode", "-"}, plainText).err,
              "torvane-cfg: standard input: not a config file (byte 1 is 0x47; every second "
              "byte of a config file is 0); --force deciphers it anyway\n");
    const Outcome encoded = RunTool({"encode", "-o", "-"}, "\xEF\xBB\xBF"
                                                           "a=1\r\n");
    EXPECT_EQ(encoded.status, cfgtool::Success) << encoded.err;
    EXPECT_EQ(encoded.out, bytes);
    EXPECT_EQ(dir.names(), std::set<std::string>{"plain.ini"});
}
