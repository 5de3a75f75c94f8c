// The replacement of lost characters: whatever the text, the result keeps every unit, the
// edits rebuild it from the original, and nothing that was kept at its own position and
// did not move is touched.
//
// Input: the text as UTF-16LE, read with the documents' key.
#include "Encryption.h"
#include "FuzzCheck.h"
#include "Replacement.h"
#include "Survival.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    std::u16string text;
    for (std::size_t at = 0; at + 2 <= size; at += 2)
        text.push_back(char16_t(data[at] | (data[at + 1] << 8)));
    const std::u16string key = DocumentKey;

    const ReplacedText replaced = ReplaceLostCharacters(text, key);
    Check(LostUnits(replaced.text, key).empty(), "the result keeps every unit");
    Check(OverflowingUnits(replaced.text, key).empty(), "the result can be enciphered");

    std::u16string rebuilt = text;
    std::size_t previousEnd = 0;
    for (auto edit = replaced.edits.rbegin(); edit != replaced.edits.rend(); ++edit)
        rebuilt.replace(edit->index, edit->length, 1, edit->with);
    Check(rebuilt == replaced.text, "the edits rebuild the result");
    for (const ReplacementEdit &edit : replaced.edits) {
        Check(edit.index >= previousEnd, "edits are in order and apart");
        Check(edit.length >= 1, "an edit takes at least one unit");
        Check((edit.with >= u' ' && edit.with <= u'~') || edit.with == text[edit.index],
              "replacements are printable ASCII, or the letter that loses its marks");
        previousEnd = edit.index + edit.length;
    }
    // Before the first pair (or dropped mark) nothing moves, so only what LostUnits names may
    // change.
    const std::vector<std::size_t> lost = LostUnits(text, key);
    std::size_t firstPair = text.size();
    for (const ReplacementEdit &edit : replaced.edits) {
        if (edit.length >= 2) {
            firstPair = edit.index;
            break;
        }
    }
    std::size_t next = 0;
    for (const ReplacementEdit &edit : replaced.edits) {
        if (edit.index >= firstPair)
            break;
        Check(next < lost.size() && lost[next++] == edit.index, "only lost units are replaced");
    }
    return 0;
}
