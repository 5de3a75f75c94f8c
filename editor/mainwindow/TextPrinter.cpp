#include "TextPrinter.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPrinter>
#include <QRegularExpression>
#include <QTextLayout>

namespace {

constexpr int TabWidthInBlanks = 8;

} // namespace

bool PrintPlainText(QPrinter &printer, const QString &text, const QFont &font)
{
    QPainter painter;
    if (!painter.begin(&printer))
        return false;

    // The screen font's point size, measured at the printer's resolution.
    const QFont printFont(font, painter.device());
    painter.setFont(printFont);
    const QRectF page = printer.pageRect(QPrinter::DevicePixel);
    const double width = page.width();
    const double height = page.height();

    QTextOption option;
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    option.setTabStopDistance(
        QFontMetricsF(printFont, painter.device()).horizontalAdvance(QLatin1Char(' ')) *
        TabWidthInBlanks);

    static const QRegularExpression lineBreak(QStringLiteral("\\r\\n|\\r|\\n|\\x{2029}|\\x{2028}"));
    const QStringList lines = text.split(lineBreak);
    double y = 0;
    for (const QString &line : lines) {
        QTextLayout layout(line, printFont, painter.device());
        layout.setTextOption(option);
        layout.beginLayout();
        for (QTextLine row = layout.createLine(); row.isValid(); row = layout.createLine())
            row.setLineWidth(width);
        layout.endLayout();

        for (int i = 0; i < layout.lineCount(); ++i) {
            const QTextLine row = layout.lineAt(i);
            if (y > 0 && y + row.height() > height) {
                printer.newPage();
                y = 0;
            }
            row.draw(&painter, QPointF(0, y - row.y()));
            y += row.height();
        }
    }
    return painter.end();
}

QString TextToPrint(const QPlainTextEdit &box, const QString &wholeText)
{
    const QTextCursor cursor = box.textCursor();
    if (!cursor.hasSelection())
        return wholeText;
    // The text box ends its lines with paragraph separators.
    QString text = cursor.selectedText();
    text.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
    text.replace(QChar::LineSeparator, QLatin1Char('\n'));
    return text;
}
