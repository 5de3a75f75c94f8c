#include "Pattern.h"

#include "Utf8Char.h"

#include <algorithm>
#include <iterator>
#include <limits>

namespace tester {
namespace {

constexpr std::uint32_t Unbounded = std::numeric_limits<std::uint32_t>::max();
// Counts beyond this are refused as too complex long before they are reached.
constexpr std::uint32_t CountCeiling = 100000;
constexpr char32_t LastCharacter = 0x10FFFF;

using Ranges = std::vector<Pattern::Range>;

// Thrown only inside the compiler; Compile() turns it into its answer.
struct Refusal
{
    std::string why;
};

// Characters of a value; a byte that starts no valid UTF-8 sequence stands for itself as a
// lone surrogate, which no character of a (valid) pattern can match.
std::u32string CharactersOf(std::string_view text)
{
    std::u32string characters;
    characters.reserve(text.size());
    while (!text.empty()) {
        const Utf8Char next = FirstUtf8Char(text);
        const std::size_t length = next.length == 0 ? 1 : next.length;
        characters.push_back(next.length == 0 ? 0xDC00 + static_cast<unsigned char>(text.front())
                                              : next.code);
        text.remove_prefix(length);
    }
    return characters;
}

bool IsLineTerminator(char32_t c)
{
    return c == '\n' || c == '\r' || c == 0x2028 || c == 0x2029;
}

bool IsWordCharacter(char32_t c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
}

bool IsAsciiAlphanumeric(char32_t c)
{
    return IsWordCharacter(c) && c != '_';
}

Ranges Normalized(Ranges ranges)
{
    std::sort(ranges.begin(), ranges.end(),
              [](const Pattern::Range &a, const Pattern::Range &b) { return a.first < b.first; });
    Ranges merged;
    for (const Pattern::Range &range : ranges) {
        if (!merged.empty() && range.first <= merged.back().last + 1)
            merged.back().last = std::max(merged.back().last, range.last);
        else
            merged.push_back(range);
    }
    return merged;
}

Ranges Complement(const Ranges &ranges)
{
    Ranges complement;
    char32_t next = 0;
    for (const Pattern::Range &range : Normalized(ranges)) {
        if (range.first > next)
            complement.push_back({next, range.first - 1});
        next = range.last + 1;
    }
    if (next <= LastCharacter)
        complement.push_back({next, LastCharacter});
    return complement;
}

Ranges ClassOfEscape(char32_t letter)
{
    Ranges ranges;
    switch (letter) {
    case 'd':
    case 'D':
        ranges = {{'0', '9'}};
        break;
    case 'w':
    case 'W':
        ranges = {{'0', '9'}, {'A', 'Z'}, {'_', '_'}, {'a', 'z'}};
        break;
    default: // s, S: the white space and line terminators of the language
        ranges = {{'\t', '\r'},     {' ', ' '},       {0xA0, 0xA0},     {0x1680, 0x1680},
                  {0x2000, 0x200A}, {0x2028, 0x2029}, {0x202F, 0x202F}, {0x205F, 0x205F},
                  {0x3000, 0x3000}, {0xFEFF, 0xFEFF}};
        break;
    }
    return letter >= 'a' ? ranges : Complement(ranges);
}

// A sign a message names: only the language's own, which are ASCII.
std::string Sign(char32_t c)
{
    return std::string(1, static_cast<char>(c));
}

} // namespace

// Reads the pattern into a tree of nodes, then lays the tree out as instructions.
class PatternCompiler
{
public:
    explicit PatternCompiler(std::u32string text) : m_text(std::move(text)) {}

    Pattern Run()
    {
        const std::uint32_t root = Disjunction();
        if (m_at < m_text.size())
            throw Refusal{"a \")\" closes no group."};
        if (Size(root) + 1 > MaxPatternInstructions)
            throw Refusal{"its counts repeat too much to be checked quickly."};
        Emit(root);
        Add(Op::Match);
        return std::move(m_pattern);
    }

private:
    using Op = Pattern::Op;

    enum class Kind {
        Empty,
        Char,
        Any,
        Class,
        Begin,
        End,
        Word,
        NotWord,
        Concat,
        Alternate,
        Repeat
    };
    struct Node
    {
        Kind kind = Kind::Empty;
        char32_t character = 0;
        std::uint32_t index = 0; // Class: into the pattern's classes
        std::vector<std::uint32_t> children;
        std::uint32_t min = 0;
        std::uint32_t max = 0;
    };

    // An escape's meaning: one character, a set of them, or a word-boundary assertion.
    struct Escaped
    {
        Kind kind = Kind::Char;
        char32_t character = 0;
        Ranges ranges;
    };

    static Node Leaf(Kind kind, char32_t character = 0)
    {
        Node node;
        node.kind = kind;
        node.character = character;
        return node;
    }

    static Node Parent(Kind kind, std::vector<std::uint32_t> children)
    {
        Node node;
        node.kind = kind;
        node.children = std::move(children);
        return node;
    }

    static Escaped One(char32_t character)
    {
        Escaped escaped;
        escaped.character = character;
        return escaped;
    }

    bool AtEnd() const { return m_at >= m_text.size(); }
    char32_t Peek(std::size_t ahead = 0) const
    {
        return m_at + ahead < m_text.size() ? m_text[m_at + ahead] : 0;
    }
    bool Eat(char32_t c)
    {
        if (AtEnd() || m_text[m_at] != c)
            return false;
        ++m_at;
        return true;
    }

    std::uint32_t NewNode(Node node)
    {
        m_nodes.push_back(std::move(node));
        return static_cast<std::uint32_t>(m_nodes.size() - 1);
    }

    std::uint32_t NewClass(Ranges ranges)
    {
        m_pattern.m_classes.push_back(Normalized(std::move(ranges)));
        Node node = Leaf(Kind::Class);
        node.index = static_cast<std::uint32_t>(m_pattern.m_classes.size() - 1);
        return NewNode(std::move(node));
    }

    std::uint32_t Disjunction()
    {
        std::vector<std::uint32_t> alternatives{Alternative()};
        while (Eat('|'))
            alternatives.push_back(Alternative());
        if (alternatives.size() == 1)
            return alternatives.front();
        return NewNode(Parent(Kind::Alternate, std::move(alternatives)));
    }

    std::uint32_t Alternative()
    {
        std::vector<std::uint32_t> terms;
        while (!AtEnd() && Peek() != '|' && Peek() != ')')
            terms.push_back(Term());
        if (terms.size() == 1)
            return terms.front();
        const Kind kind = terms.empty() ? Kind::Empty : Kind::Concat;
        return NewNode(Parent(kind, std::move(terms)));
    }

    bool AtQuantifier() const
    {
        const char32_t c = Peek();
        return !AtEnd() && (c == '*' || c == '+' || c == '?' || c == '{');
    }

    [[noreturn]] void NothingToRepeat() const
    {
        throw Refusal{"\"" + Sign(Peek()) + "\" has nothing to repeat."};
    }

    std::uint32_t Term()
    {
        std::uint32_t node = 0;
        bool assertion = true;
        if (Eat('^')) {
            node = NewNode(Leaf(Kind::Begin));
        } else if (Eat('$')) {
            node = NewNode(Leaf(Kind::End));
        } else if (Peek() == '\\' && (Peek(1) == 'b' || Peek(1) == 'B')) {
            m_at += 2;
            node = NewNode(Leaf(m_text[m_at - 1] == 'b' ? Kind::Word : Kind::NotWord));
        } else {
            node = Atom();
            assertion = false;
        }
        if (assertion) {
            if (AtQuantifier())
                NothingToRepeat();
            return node;
        }
        return Quantified(node);
    }

    std::uint32_t Quantified(std::uint32_t atom)
    {
        std::uint32_t min = 0;
        std::uint32_t max = Unbounded;
        if (Eat('*')) {
        } else if (Eat('+')) {
            min = 1;
        } else if (Eat('?')) {
            max = 1;
        } else if (Peek() == '{') {
            Count(min, max);
        } else {
            return atom;
        }
        Eat('?'); // a lazy quantifier finds a match exactly when the greedy one does
        if (AtQuantifier())
            NothingToRepeat();
        Node repeat = Parent(Kind::Repeat, {atom});
        repeat.min = min;
        repeat.max = max;
        return NewNode(std::move(repeat));
    }

    std::uint32_t Number()
    {
        std::uint32_t number = 0;
        const std::size_t start = m_at;
        while (!AtEnd() && Peek() >= '0' && Peek() <= '9') {
            number = std::min(CountCeiling, number * 10 + (Peek() - '0'));
            ++m_at;
        }
        if (m_at == start)
            throw Refusal{"a \"{\" starts no count such as {2} or {1,3}."};
        return number;
    }

    void Count(std::uint32_t &min, std::uint32_t &max)
    {
        ++m_at; // the brace
        min = Number();
        max = min;
        if (Eat(','))
            max = Peek() == '}' ? Unbounded : Number();
        if (!Eat('}'))
            throw Refusal{"a \"{\" starts no count such as {2} or {1,3}."};
        if (max < min)
            throw Refusal{"the count's smaller number comes second."};
    }

    std::uint32_t Atom()
    {
        const char32_t c = m_text[m_at++];
        switch (c) {
        case '.':
            return NewNode(Leaf(Kind::Any));
        case '(':
            return Group();
        case '[':
            return Class();
        case '\\': {
            Escaped escaped = Escape();
            if (escaped.kind == Kind::Class)
                return NewClass(std::move(escaped.ranges));
            return NewNode(Leaf(Kind::Char, escaped.character));
        }
        case '*':
        case '+':
        case '?':
        case '{':
            --m_at;
            NothingToRepeat();
        default:
            return NewNode(Leaf(Kind::Char, c));
        }
    }

    std::uint32_t Group()
    {
        if (Eat('?') && !Eat(':'))
            throw Refusal{"look-arounds and named groups are not supported."};
        const std::uint32_t inside = Disjunction();
        if (!Eat(')'))
            throw Refusal{"a group is not closed."};
        return inside;
    }

    std::uint32_t Class()
    {
        const bool negated = Eat('^');
        Ranges ranges;
        while (!Eat(']')) {
            if (AtEnd())
                throw Refusal{"a \"[\" is not closed."};
            Escaped first = ClassAtom();
            if (Peek() == '-' && Peek(1) != ']' && m_at + 1 < m_text.size()) {
                ++m_at;
                const Escaped last = ClassAtom();
                if (first.kind == Kind::Class || last.kind == Kind::Class)
                    throw Refusal{"a range in a class ends in a class such as \\d."};
                if (last.character < first.character)
                    throw Refusal{"a range in a class runs backwards."};
                ranges.push_back({first.character, last.character});
            } else if (first.kind == Kind::Class) {
                ranges.insert(ranges.end(), first.ranges.begin(), first.ranges.end());
            } else {
                ranges.push_back({first.character, first.character});
            }
        }
        return NewClass(negated ? Complement(ranges) : std::move(ranges));
    }

    Escaped ClassAtom()
    {
        if (Eat('\\'))
            return Escape();
        return One(m_text[m_at++]);
    }

    std::uint32_t Hex(int digits)
    {
        std::uint32_t value = 0;
        for (int i = 0; i < digits; ++i, ++m_at) {
            const char32_t c = Peek();
            if (AtEnd() ||
                !((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F')))
                throw Refusal{digits == 2 ? "\\x needs two hexadecimal digits."
                                          : "\\u needs four hexadecimal digits."};
            value = value * 16 + (c <= '9' ? c - '0' : (c | 0x20) - 'a' + 10);
        }
        return value;
    }

    Escaped Escape()
    {
        if (AtEnd())
            throw Refusal{"it ends in a \"\\\"."};
        const char32_t c = m_text[m_at++];
        switch (c) {
        case 'd':
        case 'D':
        case 'w':
        case 'W':
        case 's':
        case 'S': {
            Escaped set;
            set.kind = Kind::Class;
            set.ranges = ClassOfEscape(c);
            return set;
        }
        case 'b': // outside a class, Term() has taken it as a word boundary
            return One(8);
        case 't':
            return One('\t');
        case 'n':
            return One('\n');
        case 'v':
            return One('\v');
        case 'f':
            return One('\f');
        case 'r':
            return One('\r');
        case 'x':
            return One(Hex(2));
        case 'u':
            return One(Hex(4));
        case 'c':
            if (IsAsciiAlphanumeric(Peek()) && !(Peek() >= '0' && Peek() <= '9'))
                return One(m_text[m_at++] % 32);
            throw Refusal{"\\c needs a letter."};
        case '0':
            if (!(Peek() >= '0' && Peek() <= '9'))
                return One(0);
            [[fallthrough]];
        default:
            if (c >= '1' && c <= '9')
                throw Refusal{"back-references such as \\1 are not supported."};
            if (c == '0')
                throw Refusal{"octal escapes such as \\01 are not supported."};
            if (IsAsciiAlphanumeric(c))
                throw Refusal{"\\" + Sign(c) + " is no escape."};
            return One(c);
        }
    }

    // The instructions `node` lays out into, or more than the most allowed.
    std::uint64_t Size(std::uint32_t index) const
    {
        constexpr std::uint64_t TooMany = MaxPatternInstructions + 1;
        const Node &node = m_nodes[index];
        std::uint64_t size = 0;
        switch (node.kind) {
        case Kind::Empty:
            return 0;
        case Kind::Concat:
        case Kind::Alternate:
            for (const std::uint32_t child : node.children)
                size = std::min(TooMany, size + Size(child));
            if (node.kind == Kind::Alternate)
                size += 2 * (node.children.size() - 1);
            return std::min(TooMany, size);
        case Kind::Repeat: {
            const std::uint64_t child = Size(node.children.front());
            size = node.min * child;
            size += node.max == Unbounded ? child + 2 : (node.max - node.min) * (child + 1);
            return std::min(TooMany, size);
        }
        default:
            return 1;
        }
    }

    std::uint32_t Here() const { return static_cast<std::uint32_t>(m_pattern.m_program.size()); }

    std::uint32_t Add(Op op, std::uint32_t a = 0)
    {
        m_pattern.m_program.push_back({op, a});
        return Here() - 1;
    }

    void Emit(std::uint32_t index)
    {
        const Node &node = m_nodes[index];
        auto &program = m_pattern.m_program;
        switch (node.kind) {
        case Kind::Empty:
            break;
        case Kind::Char:
            Add(Op::Char, node.character);
            break;
        case Kind::Any:
            Add(Op::Any);
            break;
        case Kind::Class:
            Add(Op::Class, node.index);
            break;
        case Kind::Begin:
            Add(Op::Begin);
            break;
        case Kind::End:
            Add(Op::End);
            break;
        case Kind::Word:
            Add(Op::Word);
            break;
        case Kind::NotWord:
            Add(Op::NotWord);
            break;
        case Kind::Concat:
            for (const std::uint32_t child : node.children)
                Emit(child);
            break;
        case Kind::Alternate: {
            std::vector<std::uint32_t> jumps;
            for (std::size_t i = 0; i + 1 < node.children.size(); ++i) {
                const std::uint32_t split = Add(Op::Split, Here() + 1);
                Emit(node.children[i]);
                jumps.push_back(Add(Op::Jump));
                program[split].b = Here();
            }
            Emit(node.children.back());
            for (const std::uint32_t jump : jumps)
                program[jump].a = Here();
            break;
        }
        case Kind::Repeat:
            for (std::uint32_t i = 0; i < node.min; ++i)
                Emit(node.children.front());
            if (node.max == Unbounded) {
                const std::uint32_t loop = Add(Op::Split, Here() + 1);
                Emit(node.children.front());
                Add(Op::Jump, loop);
                program[loop].b = Here();
            } else {
                std::vector<std::uint32_t> splits;
                for (std::uint32_t i = node.min; i < node.max; ++i) {
                    splits.push_back(Add(Op::Split, Here() + 1));
                    Emit(node.children.front());
                }
                for (const std::uint32_t split : splits)
                    program[split].b = Here();
            }
            break;
        }
    }

    std::u32string m_text;
    std::size_t m_at = 0;
    std::vector<Node> m_nodes;
    Pattern m_pattern;
};

std::variant<Pattern, std::string> Pattern::Compile(std::string_view text)
{
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t length = FirstUtf8Char(text.substr(at)).length;
        if (length == 0)
            return std::string("it is not UTF-8 text.");
        at += length;
    }
    try {
        return PatternCompiler(CharactersOf(text)).Run();
    } catch (const Refusal &refusal) {
        return refusal.why;
    }
}

bool Pattern::IsFoundIn(std::string_view value) const
{
    const std::u32string text = CharactersOf(value);
    const std::size_t size = m_program.size();
    // mark[pc] is the position at which pc last joined a list, so each instruction is
    // visited once a position however the splits and empty loops lead back to it.
    std::vector<std::size_t> mark(size, std::numeric_limits<std::size_t>::max());
    std::vector<std::uint32_t> current, next, pending;
    current.reserve(size);
    next.reserve(size);
    bool found = false;
    const auto wordAt = [&text](std::size_t at) {
        return at < text.size() && IsWordCharacter(text[at]);
    };
    // Adds `pc` and everything it reaches without taking a character to `list`.
    const auto follow = [&](std::vector<std::uint32_t> &list, std::uint32_t start, std::size_t at) {
        pending.push_back(start);
        while (!pending.empty()) {
            const std::uint32_t pc = pending.back();
            pending.pop_back();
            if (mark[pc] == at)
                continue;
            mark[pc] = at;
            const Instruction &instruction = m_program[pc];
            switch (instruction.op) {
            case Op::Jump:
                pending.push_back(instruction.a);
                break;
            case Op::Split:
                pending.push_back(instruction.b);
                pending.push_back(instruction.a);
                break;
            case Op::Begin:
                if (at == 0)
                    pending.push_back(pc + 1);
                break;
            case Op::End:
                if (at == text.size())
                    pending.push_back(pc + 1);
                break;
            case Op::Word:
            case Op::NotWord:
                if ((at > 0 && wordAt(at - 1)) != wordAt(at) ? instruction.op == Op::Word
                                                             : instruction.op == Op::NotWord)
                    pending.push_back(pc + 1);
                break;
            case Op::Match:
                found = true;
                break;
            default:
                list.push_back(pc);
                break;
            }
        }
    };
    for (std::size_t at = 0;; ++at) {
        follow(current, 0, at); // a match may start at every position
        if (found)
            return true;
        if (at == text.size())
            return false;
        const char32_t c = text[at];
        next.clear();
        for (const std::uint32_t pc : current) {
            const Instruction &instruction = m_program[pc];
            bool takes = false;
            if (instruction.op == Op::Char) {
                takes = c == instruction.a;
            } else if (instruction.op == Op::Any) {
                takes = !IsLineTerminator(c);
            } else {
                const Ranges &ranges = m_classes[instruction.a];
                const auto range = std::upper_bound(
                    ranges.begin(), ranges.end(), c,
                    [](char32_t character, const Range &r) { return character < r.first; });
                takes = range != ranges.begin() && c <= std::prev(range)->last;
            }
            if (takes)
                follow(next, pc + 1, at + 1);
        }
        if (found)
            return true;
        current.swap(next);
    }
}

} // namespace tester
