#include "Sequence.h"

#include "CommandTable.h"
#include "Pattern.h"
#include "Utf8Char.h"

#include <charconv>
#include <variant>

namespace tester {
namespace {

bool IsBlank(char c)
{
    return c == ' ' || c == '\t';
}

std::string_view Trimmed(std::string_view text)
{
    while (!text.empty() && IsBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back()))
        text.remove_suffix(1);
    return text;
}

char Lower(char c)
{
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

// The table's names are ASCII; a name matches whatever the case and however many blanks
// stand between its words, since a hand-written file is not held to the box's spacing.
bool SameName(std::u16string_view tableName, std::string_view written)
{
    std::size_t at = 0;
    for (std::size_t i = 0; i < tableName.size(); ++i) {
        const char wanted = static_cast<char>(tableName[i]);
        if (wanted == ' ') {
            if (at >= written.size() || !IsBlank(written[at]))
                return false;
            while (at < written.size() && IsBlank(written[at]))
                ++at;
            continue;
        }
        if (at >= written.size() || Lower(written[at]) != Lower(wanted))
            return false;
        ++at;
    }
    return at == written.size();
}

std::string Ascii(std::u16string_view name)
{
    return {name.begin(), name.end()};
}

// Why `line` cannot be text of a sequence, or nothing.
std::optional<std::string> BadText(std::string_view line)
{
    for (std::size_t at = 0; at < line.size();) {
        const auto c = static_cast<unsigned char>(line[at]);
        if ((c < 0x20 && c != '\t') || c == 0x7F)
            return "holds a control character";
        const std::size_t length = FirstUtf8Char(line.substr(at)).length;
        if (length == 0)
            return "is not UTF-8 text";
        at += length;
    }
    return std::nullopt;
}

std::optional<std::int32_t> NumberOf(std::string_view written)
{
    std::int32_t number = 0;
    const auto [end, error] =
        std::from_chars(written.data(), written.data() + written.size(), number);
    if (error != std::errc() || end != written.data() + written.size())
        return std::nullopt;
    return number;
}

// The position of the word "expect" standing on its own, if any.
std::size_t FindExpect(std::string_view line)
{
    static constexpr std::string_view Word = "expect";
    for (std::size_t at = line.find(Word); at != std::string_view::npos;
         at = line.find(Word, at + 1)) {
        const std::size_t end = at + Word.size();
        if ((at == 0 || IsBlank(line[at - 1])) && (end == line.size() || IsBlank(line[end])))
            return at;
    }
    return std::string_view::npos;
}

class Reader
{
public:
    explicit Reader(std::string_view fileName) : m_fileName(fileName) {}

    void Line(int number, std::string_view line)
    {
        m_line = number;
        if (const std::optional<std::string> bad = BadText(line)) {
            Mistake("the line " + *bad + ".");
            return;
        }
        line = Trimmed(line);
        if (line.empty() || line.front() == '#')
            return;
        const std::size_t expect = FindExpect(line);
        SequenceStep step;
        step.line = number;
        if (!Command(Trimmed(line.substr(0, expect)), step))
            return;
        if (expect != std::string_view::npos) {
            step.expectation = ExpectationOf(Trimmed(line.substr(expect + 6)));
            if (!step.expectation)
                return;
        }
        m_sequence.steps.push_back(std::move(step));
    }

    void Mistake(const std::string &what)
    {
        std::string text(m_fileName);
        if (m_line > 0)
            text += ":" + std::to_string(m_line);
        m_sequence.mistakes.push_back(text + ": " + what);
    }

    Sequence Take() { return std::move(m_sequence); }

private:
    bool Command(std::string_view written, SequenceStep &step)
    {
        for (const tester::Command &command : CommandTable()) {
            const std::optional<std::int32_t> number = NumberOf(written);
            if (number ? *number == command.number : SameName(command.name, written)) {
                step.number = command.number;
                step.name = Ascii(command.name);
                return true;
            }
        }
        if (written.empty())
            Mistake("expected a command before \"expect\".");
        else if (NumberOf(written))
            Mistake("there is no command number " + std::string(written) +
                    "; the commands are 1 to 17 and 19 to 22.");
        else
            Mistake("\"" + std::string(written) + "\" is no command of the table.");
        return false;
    }

    std::optional<Expectation> ExpectationOf(std::string_view text)
    {
        const std::size_t tilde = text.find('~');
        if (tilde == std::string_view::npos) {
            Mistake("expected \"expect FIELD ~ PATTERN\".");
            return std::nullopt;
        }
        Expectation expectation{std::string(Trimmed(text.substr(0, tilde))),
                                std::string(Trimmed(text.substr(tilde + 1)))};
        if (expectation.field.empty()) {
            Mistake("the expectation names no field before \"~\".");
            return std::nullopt;
        }
        if (expectation.pattern.empty()) {
            Mistake("the expectation has no pattern after \"~\".");
            return std::nullopt;
        }
        if (expectation.pattern.size() > MaxPatternBytes) {
            Mistake("the pattern is longer than " + std::to_string(MaxPatternBytes) + " bytes.");
            return std::nullopt;
        }
        const auto compiled = Pattern::Compile(expectation.pattern);
        if (const auto *why = std::get_if<std::string>(&compiled)) {
            Mistake("the pattern \"" + expectation.pattern +
                    "\" is not a regular expression: " + *why);
            return std::nullopt;
        }
        return expectation;
    }

    std::string_view m_fileName;
    int m_line = 0;
    Sequence m_sequence;
};

} // namespace

Sequence ReadSequence(std::string_view fileName, std::string_view text)
{
    Reader reader(fileName);
    if (text.size() > MaxSequenceBytes) {
        reader.Mistake("the file is longer than " + std::to_string(MaxSequenceBytes / 1024) +
                       " KiB.");
        return reader.Take();
    }
    if (text.substr(0, 3) == "\xEF\xBB\xBF")
        text.remove_prefix(3);
    int number = 0;
    bool any = false;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        reader.Line(++number, line);
        any = true;
    }
    Sequence sequence = reader.Take();
    if (sequence.steps.empty() && sequence.mistakes.empty()) {
        Reader empty(fileName);
        empty.Mistake(any ? "the file names no command." : "the file is empty.");
        return empty.Take();
    }
    return sequence;
}

std::optional<std::string> CheckExpectation(const Expectation &expectation,
                                            std::string_view fieldText)
{
    const std::string label = expectation.field + ": ";
    while (true) {
        const std::size_t end = fieldText.find("\r\n");
        const std::string_view field = fieldText.substr(0, end);
        if (field.substr(0, label.size()) == label) {
            const std::string value(field.substr(label.size()));
            const auto compiled = Pattern::Compile(expectation.pattern);
            const auto *pattern = std::get_if<Pattern>(&compiled);
            if (pattern && pattern->IsFoundIn(value))
                return std::nullopt;
            return expectation.field + " is \"" + value + "\", which does not match " +
                   expectation.pattern;
        }
        if (end == std::string_view::npos)
            break;
        fieldText.remove_prefix(end + 2);
    }
    return "the unit returned no field " + expectation.field;
}

} // namespace tester
