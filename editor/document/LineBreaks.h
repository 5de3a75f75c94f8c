#pragma once
// The line break of every line of a text box, which the box itself does not keep: it
// turns each break into a paragraph of its own and forgets which break it was.
//
// Each block holds the break that comes BEFORE it, for that is what the box's blocks keep
// through an edit: joining two lines drops the later line's block with the break between
// them, and splitting a line starts a new block after the new break. So the line that was
// there keeps the break at its end, a break the user types or pastes takes the document's
// own break, and a break the edit removed is gone, without any reckoning here. Only an undo
// that brings a removed break back needs help: the box makes a fresh block for it, and this
// class gives it the break that the undone edit removed.

#include <QObject>

#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <vector>

class QTextBlock;
class QTextDocument;

class LineBreaks : public QObject
{
    Q_OBJECT

public:
    // Connects to `document` at once: whatever else follows its edits and asks for breaks
    // (the loss marks) must connect after this.
    explicit LineBreaks(QTextDocument *document);

    // Stops following edits until Reset, while the whole text is replaced.
    void Hold() { m_held = true; }
    // Takes the breaks of the text just set: `breaks[i]` ends block i (a missing or empty
    // one takes `defaultBreak`, the break for the lines the user adds).
    void Reset(const std::vector<std::u16string> &breaks, std::u16string defaultBreak);

    // The break that ends `block`; empty after the last one.
    const std::u16string &After(const QTextBlock &block) const;
    // How many more units the breaks take in the file than in the box, where each is one.
    std::size_t ExtraUnits() const { return m_extraUnits; }

private:
    struct Kept
    {
        std::uint64_t id = 0;                      // of the block's break, 0 for the first block
        const std::u16string *lineBreak = nullptr; // in m_breakTexts
    };

    void OnContentsChange(int position, int removed, int added);
    // Gives `block` its break as a new record.
    void Give(QTextBlock &block, const std::u16string &lineBreak);
    // The one copy of `lineBreak` the records point to.
    const std::u16string *Interned(const std::u16string &lineBreak);

    QTextDocument *m_document;
    std::u16string m_defaultBreak;
    bool m_held = false;
    std::uint64_t m_lastId = 0;
    // Each block's break as last seen, so that the ones an edit removed can be told. A line
    // added or joined moves every record after it: they hold no strings of their own, so
    // that moves them as plain bytes.
    std::vector<Kept> m_blocks;
    // Each break text the records have pointed to; a text holds only a few kinds.
    std::set<std::u16string> m_breakTexts;
    std::size_t m_extraUnits = 0;
    // The breaks each edit removed, in text order, by the count of undo steps after it.
    std::map<int, std::vector<std::u16string>> m_removed;
    int m_undoSteps = 0;
};
