#pragma once
// The page layout chosen in Page Setup, kept in the settings store's own "PageSetup"
// section, apart from the windows' placement: the paper's size in millimetres (as it
// stands upright), its orientation, and the four margins in millimetres.

#include <QPageLayout>

#include <optional>

class QPrinter;

// The stored layout; nothing when none was stored or when any value is missing, not a
// number, or makes no page (a paper of under 2 cm or over 5 m, margins that leave less
// than a fifth of it).
std::optional<QPageLayout> ReadPageLayout();
void WritePageLayout(const QPageLayout &layout);

// Sets up `printer` to print with `layout`, or when there is none, with its own paper and
// orientation and margins of 20 mm all round.
void ApplyPageLayout(QPrinter &printer, const std::optional<QPageLayout> &layout);
