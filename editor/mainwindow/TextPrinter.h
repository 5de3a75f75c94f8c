#pragma once

#include <QString>

class QFont;
class QPrinter;

// Prints plain text on `printer` in `font`: margins of 20 mm, lines wrapped at the page
// width (at a blank where there is one), a new page where a page is full. Any of CR LF,
// CR, LF or a paragraph separator ends a line. False when the printer could not be
// started.
bool PrintPlainText(QPrinter &printer, const QString &text, const QFont &font);
