#pragma once
// QString and the plain rules' UTF-16 strings hold the same code units; these cross
// between them without re-encoding.

#include <QString>
#include <QStringView>

#include <string>
#include <string_view>

namespace tester {

inline std::u16string_view View(QStringView text)
{
    return {reinterpret_cast<const char16_t *>(text.utf16()),
            static_cast<std::size_t>(text.size())};
}

inline QString ToQString(std::u16string_view text)
{
    return QString(reinterpret_cast<const QChar *>(text.data()),
                   static_cast<qsizetype>(text.size()));
}

} // namespace tester
