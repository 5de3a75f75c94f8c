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

} // namespace tester
