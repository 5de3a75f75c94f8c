#include "Escaping.h"

namespace tester {

std::u16string EscapeResponse(std::u16string_view response)
{
    // One pass gives the same result as replacing CR first and LF second, because
    // neither replacement text holds a CR or an LF.
    std::u16string escaped;
    escaped.reserve(response.size());
    for (const char16_t unit : response) {
        if (unit == u'\r')
            escaped += u"<Cr>";
        else if (unit == u'\n')
            escaped += u"<Lf>";
        else
            escaped += unit;
    }
    return escaped;
}

std::u16string ShowControls(std::u16string_view text)
{
    // A NUL cuts off what a screen reader reads of the log and makes a saved log binary;
    // the others are invisible or move the text about.
    std::u16string shown;
    shown.reserve(text.size());
    for (const char16_t unit : text) {
        const bool control =
            (unit < 0x20 && unit != u'\r' && unit != u'\n') || (unit >= 0x7F && unit <= 0x9F);
        if (!control) {
            shown += unit;
        } else if (unit == 0) {
            shown += u"<Nul>";
        } else if (unit == u'\t') {
            shown += u"<Tab>";
        } else {
            static constexpr char16_t Digits[] = u"0123456789ABCDEF";
            shown += u"<0x";
            shown += Digits[unit >> 4];
            shown += Digits[unit & 0xF];
            shown += u'>';
        }
    }
    return shown;
}

} // namespace tester
