#pragma once
// The editor's words for what a config file would lose, in the user's language. The plain
// layer (LossReport.h) says the same in English for the command-line tools; this is the
// form the windows show, through the catalogue, with the plain layer's counts and names.

#include <QCoreApplication>
#include <QString>

#include <cstddef>
#include <optional>
#include <string_view>

class LossTexts
{
    Q_DECLARE_TR_FUNCTIONS(LossTexts)

public:
    static std::optional<QString> SaveRefusal(std::u16string_view text, std::u16string_view key);
    static std::optional<QString> LossQuestion(std::u16string_view text, std::u16string_view key);
    static QString UnshownWarning(std::size_t positions);
    static QString UnshownQuestion(std::size_t positions);
    static QString ReadBackMismatch();
    static QString LossSummary(std::size_t lost, std::size_t units);
};
