#include "CfgTool.h"

#include "ConfigFile.h"
#include "Encryption.h"
#include "LossReport.h"
#include "Losses.h"
#include "PathText.h"
#include "Recognition.h"
#include "RunTimeError.h"
#include "TorvaneVersion.h"
#include "Utf8.h"
#include "modUnicodeRW.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <istream>
#include <optional>
#include <ostream>
#include <string_view>

namespace cfgtool {
namespace {

constexpr const char *Program = "torvane-cfg";
constexpr const char *StandardInput = "standard input";

constexpr const char *HelpText =
    "Usage: torvane-cfg COMMAND [OPTION]... [FILE]...\n"
    "Read and write Torvane config files (*.cfg, *.ini), which are stored enciphered.\n"
    "\n"
    "Commands:\n"
    "  decode FILE           print the plain text of FILE as UTF-8, line breaks as stored;\n"
    "                        a file that is not a config file is refused\n"
    "      --force           decipher it anyway, as for a damaged config file\n"
    "      --textconv        print it as it is, for git's textconv (see below)\n"
    "  encode [-o FILE]      encipher UTF-8 from standard input into FILE (or to standard\n"
    "                        output); characters the file cannot keep are refused\n"
    "      --lossy           write them anyway, as the editor's plain save would\n"
    "  check FILE...         say for each FILE whether it round-trips (reads back and\n"
    "                        saves back to the same bytes), and list the positions\n"
    "                        that deciphering drops or changes; a file that is not a\n"
    "                        config file is said to be one (--force lists it anyway)\n"
    "\n"
    "A FILE of - is standard input (decode, check) or standard output (encode -o -).\n"
    "\n"
    "  -h, --help            show this help and exit\n"
    "      --version         show the version and exit\n"
    "\n"
    "Exit status: 0 on success (check: every file round-trips), 1 for a bad\n"
    "input, a refused text or a file that does not round-trip, 2 for a wrong\n"
    "command line. Nothing is written on failure.\n"
    "\n"
    "As a git textconv driver, so that git diff shows plain text for *.cfg:\n"
    "  git config diff.torvane-cfg.textconv \"torvane-cfg decode --textconv\"\n"
    "  echo '*.cfg diff=torvane-cfg' >> .gitattributes\n";

// One line on standard error, in the form compilers and coreutils use.
void Say(std::ostream &err, const std::string &where, const std::string &what)
{
    err << Program << ": " << (where.empty() ? "" : where + ": ") << what << '\n';
}

int UsageError(std::ostream &err, const std::string &what)
{
    Say(err, {}, what);
    err << "Try '" << Program << " --help' for more information.\n";
    return Usage;
}

std::string AtLineColumn(const lossreport::Place &where)
{
    return "line " + std::to_string(where.line) + ", column " + std::to_string(where.column);
}

bool IsHighSurrogate(char16_t u)
{
    return u >= 0xD800 && u <= 0xDBFF;
}
bool IsLowSurrogate(char16_t u)
{
    return u >= 0xDC00 && u <= 0xDFFF;
}

// The file name as the user gave it, for messages.
std::string Shown(const std::filesystem::path &path)
{
    return path.string();
}

// The operand's file, or standard input for "-"; `shown` is set to its name for messages.
StoredFile ReadOperand(const std::string &operand, std::istream &in, std::string &shown)
{
    if (operand == "-") {
        shown = StandardInput;
        return ReadConfigStream(in);
    }
    const std::filesystem::path path(operand);
    shown = Shown(path);
    return ReadConfigFile(path);
}

// Why `stored` cannot be a file a save wrote: the first byte that the cipher never
// writes. Empty when it could be one.
std::string NotAConfigFile(const StoredFile &stored)
{
    if (LooksEnciphered(stored.units))
        return {};
    const auto wide = std::find_if(stored.units.begin(), stored.units.end(),
                                   [](char16_t unit) { return unit > 0xFF; });
    if (wide == stored.units.end())
        return "not a config file (longer than a config file can be)";
    const std::size_t offset = 2 * static_cast<std::size_t>(wide - stored.units.begin()) + 1;
    char value[8];
    std::snprintf(value, sizeof value, "0x%02X", static_cast<unsigned>(*wide >> 8));
    return "not a config file (byte " + std::to_string(offset) + " is " + value +
           "; every second byte of a config file is 0)";
}

// Flushes what was written; a failure (a full disk, a closed pipe) is said and fails.
int Finish(std::ostream &out, std::ostream &err)
{
    out.flush();
    if (out)
        return Success;
    Say(err, "standard output", "cannot be written");
    return Failure;
}

// The bytes `file` was read from.
std::string StoredBytes(const StoredFile &file)
{
    std::string bytes;
    bytes.reserve(file.bytes);
    for (const char16_t unit : file.units) {
        bytes += static_cast<char>(unit & 0xFF);
        if (bytes.size() < file.bytes)
            bytes += static_cast<char>(unit >> 8);
    }
    return bytes;
}

struct Options
{
    std::optional<std::string> output;
    bool lossy = false;
    bool force = false;
    bool textconv = false;
};

int Decode(const std::vector<std::string> &operands, const Options &options, std::istream &in,
           std::ostream &out, std::ostream &err)
{
    if (operands.size() != 1)
        return UsageError(err, operands.empty() ? "decode: a FILE is needed"
                                                : "decode: one FILE at a time");
    std::string shown;
    StoredFile file;
    try {
        file = ReadOperand(operands.front(), in, shown);
    } catch (const RunTimeError &error) {
        Say(err, shown, error.Description);
        return Failure;
    }
    if (const std::string why = NotAConfigFile(file); !why.empty() && !options.force) {
        // A repository may hold a plain file of the same name pattern: git diff shows it
        // as it is rather than failing the whole diff.
        if (options.textconv) {
            const std::string bytes = StoredBytes(file);
            out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
            return Finish(out, err);
        }
        Say(err, shown, why + "; --force deciphers it anyway");
        return Failure;
    }
    if (file.oddLength())
        Say(err, shown,
            "odd length (" + lossreport::Thousands(file.bytes) +
                " bytes): the last byte is read as a character of its own, as the editor "
                "opens it");
    const std::u16string &stored = file.units;
    const std::vector<Loss> losses = StoredLosses(stored, DocumentKey);
    for (const Loss &loss : losses) {
        if (loss.fate == Fate::Overflows) {
            Say(err, shown,
                "cannot be deciphered: unit " + std::to_string(loss.index + 1) + " (" +
                    UnitName(loss.unit) + ") is out of the cipher's range");
            return Failure;
        }
    }
    if (!losses.empty())
        Say(err, shown,
            lossreport::Thousands(losses.size()) +
                " position(s) do not decipher to what is stored; '" + Program +
                " check' lists them");
    const std::string text = Utf8(DeCrypt(stored, DocumentKey), false);
    out.write(text.data(), static_cast<std::streamsize>(text.size()));
    return Finish(out, err);
}

// The UTF-8 of the longest text a config file holds, at three bytes a unit (a character
// of four bytes is two units), after a byte-order mark.
constexpr std::size_t MaxInputBytes = 3 + 3 * MaxTextUnits;
constexpr std::string_view Utf8Mark = "\xEF\xBB\xBF";

int Encode(const Options &options, std::istream &in, std::ostream &out, std::ostream &err)
{
    // Read no further than any text that fits could reach: an endless input is refused
    // rather than held.
    std::optional<std::string> input;
    try {
        input = ReadAtMost(in, MaxInputBytes);
    } catch (const RunTimeError &error) {
        Say(err, StandardInput, error.Description);
        return Failure;
    }
    if (!input) {
        Say(err, StandardInput,
            "more than " + lossreport::Thousands(MaxInputBytes) +
                " bytes; a config file holds at most " + lossreport::Thousands(MaxTextUnits) +
                " UTF-16 code units");
        return Failure;
    }
    // The mark that some editors put before UTF-8 says how the text is written; it is no
    // part of the text.
    const std::size_t skipped = input->starts_with(Utf8Mark) ? Utf8Mark.size() : 0;
    const std::string_view bytes = std::string_view(*input).substr(skipped);
    Utf8Error invalid;
    const std::optional<std::u16string> text = Utf8ToUtf16(bytes, &invalid);
    if (!text) {
        Say(err, StandardInput,
            "invalid UTF-8 at " + AtLineColumn({invalid.line, invalid.column}) + " (byte " +
                std::to_string(skipped + invalid.offset + 1) + ")");
        return Failure;
    }
    if (text->size() > MaxTextUnits) {
        Say(err, StandardInput,
            "the text has " + lossreport::Thousands(text->size()) +
                " UTF-16 code units; a config file holds at most " +
                lossreport::Thousands(MaxTextUnits));
        return Failure;
    }

    const std::vector<Loss> losses = PlainLosses(*text, DocumentKey);
    lossreport::PlaceWalker walker(*text);
    std::size_t refused = 0;
    for (std::size_t n = 0; n < losses.size(); ++n) {
        const Loss &loss = losses[n];
        const std::string where = AtLineColumn(walker.At(loss.index));
        if (loss.fate == Fate::Overflows) {
            Say(err, StandardInput,
                where + ": " + UnitName(loss.unit) + " cannot be enciphered at all");
            ++refused;
            continue;
        }
        // Both halves of a surrogate pair are always lost (no unit above 0xFF survives):
        // name the character once, by its code point.
        std::vector<const Loss *> units{&loss};
        char32_t character = loss.unit;
        if (IsHighSurrogate(loss.unit) && n + 1 < losses.size() &&
            losses[n + 1].index == loss.index + 1 && IsLowSurrogate(losses[n + 1].unit)) {
            units.push_back(&losses[++n]);
            character = 0x10000 + ((char32_t(loss.unit) - 0xD800) << 10) +
                        (char32_t(losses[n].unit) - 0xDC00);
        }
        if (options.lossy)
            continue;
        std::string becomes;
        for (const Loss *unit : units) {
            if (unit->fate == Fate::Changed)
                becomes += (becomes.empty() ? "" : " ") + UnitName(unit->becomes);
        }
        Say(err, StandardInput,
            where + ": " + CharacterName(character) + " would not survive (" +
                (becomes.empty() ? std::string("it is dropped") : "it reads back as " + becomes) +
                ")");
        ++refused;
    }
    if (refused > 0) {
        Say(err, StandardInput,
            "nothing written" +
                std::string(options.lossy ? "" : "; --lossy writes such characters anyway"));
        return Failure;
    }
    if (!losses.empty())
        Say(err, StandardInput,
            lossreport::Thousands(losses.size()) +
                " code unit(s) will not read back as written (--lossy)");

    try {
        const std::u16string stored = EnCrypt(*text, DocumentKey);
        if (options.output && *options.output != "-") {
            const std::filesystem::path path(*options.output);
            WriteUnicodeFile(CodecPath(path), stored, false);
            return Success;
        }
        std::string file(stored.size() * 2, '\0');
        for (std::size_t i = 0; i < stored.size(); ++i) {
            file[2 * i] = static_cast<char>(stored[i] & 0xFF);
            file[2 * i + 1] = static_cast<char>(stored[i] >> 8);
        }
        out.write(file.data(), static_cast<std::streamsize>(file.size()));
        return Finish(out, err);
    } catch (const RunTimeError &error) {
        Say(err, {}, error.Description); // the writer's message names the file itself
        return Failure;
    }
}

// Prints the verdict for one file; true when it reads back exactly.
bool CheckOne(const std::string &operand, bool force, std::istream &in, std::ostream &out,
              std::ostream &err)
{
    std::string shown;
    StoredFile file;
    try {
        file = ReadOperand(operand, in, shown);
    } catch (const RunTimeError &error) {
        Say(err, shown, error.Description);
        return false;
    }
    if (const std::string why = NotAConfigFile(file); !why.empty() && !force) {
        out << shown << ": " << why << "; --force lists its positions anyway\n";
        return false;
    }
    if (file.oddLength()) {
        Say(err, shown,
            "odd length (" + lossreport::Thousands(file.bytes) +
                " bytes): a config file holds two bytes for each character");
        return false;
    }
    const std::u16string &stored = file.units;
    const std::vector<Loss> losses = StoredLosses(stored, DocumentKey);
    if (losses.empty()) {
        out << shown << ": round-trips\n";
        return true;
    }
    out << shown << ": does not round-trip: " << lossreport::Thousands(losses.size()) << " of "
        << lossreport::Thousands(stored.size()) << " positions are lost or changed\n";
    for (const Loss &loss : losses) {
        out << shown << ": position " << loss.index + 1 << " (byte " << 2 * loss.index
            << "): stored " << UnitName(loss.unit);
        switch (loss.fate) {
        case Fate::Dropped:
            out << " is dropped\n";
            break;
        case Fate::Changed:
            out << " reads as " << UnitName(loss.becomes) << '\n';
            break;
        case Fate::Overflows:
            out << " is out of the cipher's range: the file cannot be opened\n";
            break;
        }
    }
    return false;
}

int Check(const std::vector<std::string> &operands, bool force, std::istream &in, std::ostream &out,
          std::ostream &err)
{
    if (operands.empty())
        return UsageError(err, "check: at least one FILE is needed");
    bool clean = true;
    for (const std::string &operand : operands)
        clean = CheckOne(operand, force, in, out, err) && clean;
    return Finish(out, err) == Success && clean ? Success : Failure;
}

} // namespace

int Run(const std::vector<std::string> &arguments, std::istream &in, std::ostream &out,
        std::ostream &err)
{
    if (arguments.empty())
        return UsageError(err, "a command is needed: decode, encode or check");
    const std::string &command = arguments.front();
    if (command == "--help" || command == "-h") {
        out << HelpText;
        return Success;
    }
    if (command == "--version") {
        out << Program << ' ' << TorvaneVersion << '\n';
        return Success;
    }
    if (command != "decode" && command != "encode" && command != "check")
        return UsageError(err, "unknown command '" + command + "'");

    Options options;
    std::vector<std::string> operands;
    bool optionsEnded = false;
    for (std::size_t i = 1; i < arguments.size(); ++i) {
        const std::string &argument = arguments[i];
        if (optionsEnded || argument == "-" || argument.empty() || argument.front() != '-') {
            operands.push_back(argument);
        } else if (argument == "--") {
            optionsEnded = true;
        } else if (command != "encode" && argument == "--force") {
            options.force = true;
        } else if (command == "decode" && argument == "--textconv") {
            options.textconv = true;
        } else if (command == "encode" && argument == "--lossy") {
            options.lossy = true;
        } else if (command == "encode" && (argument == "-o" || argument == "--output")) {
            if (i + 1 == arguments.size())
                return UsageError(err, "encode: " + argument + " needs a FILE");
            options.output = arguments[++i];
        } else if (command == "encode" && argument.starts_with("--output=")) {
            options.output = argument.substr(9);
        } else {
            return UsageError(err, command + ": unknown option '" + argument + "'");
        }
    }
    if (options.output && options.output->empty())
        return UsageError(err, "encode: the output FILE name is empty");

    if (command == "decode")
        return Decode(operands, options, in, out, err);
    if (command == "check")
        return Check(operands, options.force, in, out, err);
    if (!operands.empty())
        return UsageError(err, "encode: reads standard input; name the output with -o FILE");
    return Encode(options, in, out, err);
}

} // namespace cfgtool
