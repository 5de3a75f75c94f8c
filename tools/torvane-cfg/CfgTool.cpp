#include "CfgTool.h"

#include "ConfigFile.h"
#include "Encryption.h"
#include "LossReport.h"
#include "Losses.h"
#include "PathText.h"
#include "RunTimeError.h"
#include "TorvaneVersion.h"
#include "Utf8.h"
#include "modUnicodeRW.h"

#include <filesystem>
#include <istream>
#include <iterator>
#include <optional>
#include <ostream>

namespace cfgtool {
namespace {

constexpr const char *Program = "torvane-cfg";
constexpr const char *StandardInput = "standard input";

constexpr const char *HelpText =
    "Usage: torvane-cfg COMMAND [OPTION]... [FILE]...\n"
    "Read and write Torvane config files (*.cfg, *.ini), which are stored enciphered.\n"
    "\n"
    "Commands:\n"
    "  decode FILE           print the plain text of FILE as UTF-8, line breaks as stored\n"
    "  encode [-o FILE]      encipher UTF-8 from standard input into FILE (or to standard\n"
    "                        output); characters the file cannot keep are refused\n"
    "      --lossy           write them anyway, as the editor's plain save would\n"
    "  check FILE...         say for each FILE whether it round-trips (reads back and\n"
    "                        saves back to the same bytes), and list the positions\n"
    "                        that deciphering drops or changes\n"
    "\n"
    "  -h, --help            show this help and exit\n"
    "      --version         show the version and exit\n"
    "\n"
    "Exit status: 0 on success (check: every file round-trips), 1 for a bad\n"
    "input, a refused text or a file that does not round-trip, 2 for a wrong\n"
    "command line. Nothing is written on failure.\n"
    "\n"
    "As a git textconv driver, so that git diff shows plain text for *.cfg:\n"
    "  git config diff.torvane-cfg.textconv \"torvane-cfg decode\"\n"
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

int Decode(const std::vector<std::string> &operands, std::ostream &out, std::ostream &err)
{
    if (operands.size() != 1)
        return UsageError(err, operands.empty() ? "decode: a FILE is needed"
                                                : "decode: one FILE at a time");
    const std::filesystem::path path(operands.front());
    std::u16string stored;
    try {
        stored = ReadConfigFile(path);
    } catch (const RunTimeError &error) {
        Say(err, Shown(path), error.Description);
        return Failure;
    }
    for (const Loss &loss : StoredLosses(stored, DocumentKey)) {
        if (loss.fate == Fate::Overflows) {
            Say(err, Shown(path),
                "cannot be deciphered: unit " + std::to_string(loss.index + 1) + " (" +
                    UnitName(loss.unit) + ") is out of the cipher's range");
            return Failure;
        }
    }
    if (const std::size_t lost = StoredLosses(stored, DocumentKey).size(); lost > 0)
        Say(err, Shown(path),
            lossreport::Thousands(lost) + " position(s) do not decipher to what is stored; '" +
                Program + " check' lists them");
    const std::string text = Utf8(DeCrypt(stored, DocumentKey), false);
    out.write(text.data(), static_cast<std::streamsize>(text.size()));
    out.flush();
    return out ? Success : Failure;
}

struct EncodeOptions
{
    std::optional<std::string> output;
    bool lossy = false;
};

int Encode(const EncodeOptions &options, std::istream &in, std::ostream &out, std::ostream &err)
{
    const std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    if (in.bad()) {
        Say(err, StandardInput, "cannot be read");
        return Failure;
    }
    Utf8Error invalid;
    const std::optional<std::u16string> text = Utf8ToUtf16(bytes, &invalid);
    if (!text) {
        Say(err, StandardInput,
            "invalid UTF-8 at " + AtLineColumn({invalid.line, invalid.column}) + " (byte " +
                std::to_string(invalid.offset + 1) + ")");
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
        if (options.output) {
            const std::filesystem::path path(*options.output);
            WriteUnicodeFile(CodecPath(path), stored, false);
            return Success;
        }
        std::string file;
        file.reserve(stored.size() * 2);
        for (const char16_t unit : stored) {
            file.push_back(static_cast<char>(unit & 0xFF));
            file.push_back(static_cast<char>(unit >> 8));
        }
        out.write(file.data(), static_cast<std::streamsize>(file.size()));
        out.flush();
        return out ? Success : Failure;
    } catch (const RunTimeError &error) {
        Say(err, {}, error.Description); // the writer's message names the file itself
        return Failure;
    }
}

// Prints the verdict for one file; true when it reads back exactly.
bool CheckOne(const std::filesystem::path &path, std::ostream &out, std::ostream &err)
{
    std::u16string stored;
    try {
        stored = ReadConfigFile(path);
    } catch (const RunTimeError &error) {
        Say(err, Shown(path), error.Description);
        return false;
    }
    const std::vector<Loss> losses = StoredLosses(stored, DocumentKey);
    if (losses.empty()) {
        out << Shown(path) << ": round-trips\n";
        return true;
    }
    out << Shown(path) << ": does not round-trip: " << lossreport::Thousands(losses.size())
        << " of " << lossreport::Thousands(stored.size()) << " positions are lost or changed\n";
    for (const Loss &loss : losses) {
        out << Shown(path) << ": position " << loss.index + 1 << " (byte " << 2 * loss.index
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

int Check(const std::vector<std::string> &operands, std::ostream &out, std::ostream &err)
{
    if (operands.empty())
        return UsageError(err, "check: at least one FILE is needed");
    bool clean = true;
    for (const std::string &operand : operands)
        clean = CheckOne(std::filesystem::path(operand), out, err) && clean;
    out.flush();
    return clean && out ? Success : Failure;
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

    EncodeOptions options;
    std::vector<std::string> operands;
    bool optionsEnded = false;
    for (std::size_t i = 1; i < arguments.size(); ++i) {
        const std::string &argument = arguments[i];
        if (optionsEnded || argument == "-" || argument.empty() || argument.front() != '-') {
            operands.push_back(argument);
        } else if (argument == "--") {
            optionsEnded = true;
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
        return Decode(operands, out, err);
    if (command == "check")
        return Check(operands, out, err);
    if (!operands.empty())
        return UsageError(err, "encode: reads standard input; name the output with -o FILE");
    return Encode(options, in, out, err);
}

} // namespace cfgtool
