#pragma once

#include <QString>

class QFont;
class QPlainTextEdit;
class QPrinter;

// Prints plain text on `printer` in `font`, within the printer's page layout: lines
// wrapped at the width between the margins (at a blank where there is one), a new page
// where a page is full. Any of CR LF, CR, LF or a paragraph separator ends a line. False
// when the printer could not be started.
bool PrintPlainText(QPrinter &printer, const QString &text, const QFont &font);

// What Print and Print Preview put on paper for a document: the selection in `box` when
// there is one, else `wholeText`.
QString TextToPrint(const QPlainTextEdit &box, const QString &wholeText);
