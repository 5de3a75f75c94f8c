#pragma once
// How a mark on a character a save would lose is drawn in a text box of a given palette:
// a red tint over the character's cell that stands apart from the box's background by a
// contrast ratio of at least 3:1, light palettes and dark alike, and a wavy underline.

#include <QColor>
#include <QPainter>

class QPalette;

struct MarkLook
{
    QColor tint;
    // How the tint is laid over the cell: it takes the place of the background while the
    // glyphs, further from the background than the tint is, stay as they were drawn.
    QPainter::CompositionMode tintMode = QPainter::CompositionMode_Darken;
    QColor underline;
};

MarkLook MarkLookFor(const QPalette &palette);

// The contrast ratio of two colours, from 1 (the same) to 21 (black and white), as the
// accessibility guidelines define it from their relative luminance.
double ContrastRatio(const QColor &a, const QColor &b);

// The least contrast a mark keeps against the background (3:1 and a little to spare for
// the rounding of drawn colours).
inline constexpr double MarkContrast = 3.2;
