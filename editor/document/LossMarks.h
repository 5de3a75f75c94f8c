#pragma once
// Marks, in a document's text box, every character that a config file would drop or change
// when the saved file is opened again. The marks are drawn over the box's text: nothing of
// them is in the text, its undo history or the saved file.
//
// Whether a unit from 0xA6 to 0xBE survives depends on its position in the file, so an
// edit can change the fate of every such unit after it; other units either always survive
// or never do. The marks therefore follow each edit by looking again only at the text the
// edit touched and at the position-dependent units after it. Only the marks in and near
// the visible part of the text are drawn, so that what an edit costs the box does not grow
// with the marks far away.
//
// Each character is held by its position in the box, which the edits move along. Cursors
// would follow the edits by themselves, but the document walks all its cursors at every
// change, and its set of them never shrinks: each keystroke would then cost as much as the
// most marks the text ever had.

#include <QObject>

#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

class PlainTextBox;
class QPainter;
class QRegion;
class QTextBlock;

class LossMarks : public QObject
{
    Q_OBJECT

public:
    // How many units of the file the line break after `block` takes (CR LF is 2).
    using BreakLength = std::function<int(const QTextBlock &block)>;

    LossMarks(PlainTextBox *box, std::u16string key, BreakLength breakLength);

    // Off, the box shows no marks and edits cost nothing here; on again, the whole text is
    // marked afresh (as after the text and its line breaks were set).
    void SetEnabled(bool enabled);
    bool Enabled() const { return m_enabled; }

    // How many characters are marked (a surrogate pair is one).
    int Count() const { return m_count; }
    // The box positions of the marked characters, in text order.
    std::vector<int> Positions() const;
    // The position of the first marked character after `position`, or of the first one of
    // all when none follows; -1 when nothing is marked.
    int NextAfter(int position) const;

    // Why a marked character will not survive: its key letter at this position changes it
    // (elsewhere it may survive), no key letter keeps it, or it makes the save fail.
    enum class Loss { AtThisPosition, AtAnyPosition, RefusesSave };
    // Why the character marked at box position `position` is lost; nothing when no marked
    // character starts there.
    std::optional<Loss> LossAt(int position) const;

signals:
    void CountChanged(int count);

private:
    struct Tracked
    {
        int position = 0;  // of its first unit in the box
        int length = 1;    // 2 for a surrogate pair
        char16_t unit = 0; // its first unit
        bool dependsOnPosition = false;
        bool marked = true;
        // How many more units the file holds before the character than the box does (one
        // for each two-unit line break); -1 until worked out.
        int extra = -1;
    };

    void OnContentsChange(int position, int removed, int added);
    // Marks the whole text afresh.
    void Rescan();
    void Scan(int from, int to, std::vector<Tracked> &into) const;
    // Judges the position-dependent characters from `first` on, after an edit that ended at
    // `editEnd`, and repaints those in view whose mark came or went.
    void Judge(std::size_t first, int editEnd);
    void Repaint(const Tracked &t) const;
    void Recount();
    void Paint(QPainter &painter, const QRegion &exposed) const;

    PlainTextBox *m_box;
    std::u16string m_key;
    BreakLength m_breakLength;
    bool m_enabled = true;
    int m_count = 0;
    // The document's length as last seen, to tell an edit that does not add up.
    int m_characters = 0;
    // The box positions in view while an edit is being followed: worked out when a mark in
    // view may need repainting, and only then; none while the whole text is marked afresh.
    std::optional<std::pair<int, int>> m_visible;
    // Every character that is not kept at all positions, in text order.
    std::vector<Tracked> m_tracked;
};
