#include "PageLayoutStore.h"

#include "SettingsStore.h"

#include <QPageSize>
#include <QPrinter>

namespace {

const QString Section = QStringLiteral("PageSetup");
constexpr double DefaultMarginMillimetres = 20;
constexpr double MinPaperMillimetres = 20;
constexpr double MaxPaperMillimetres = 5000;

std::optional<double> ReadMillimetres(const QString &key)
{
    bool ok = false;
    const double value = GetSetting(EditorAppName, Section, key, QString()).toDouble(&ok);
    if (!ok || !(value >= 0 && value <= MaxPaperMillimetres))
        return std::nullopt;
    return value;
}

void WriteMillimetres(const QString &key, double value)
{
    SaveSetting(EditorAppName, Section, key, settings::NumberText(static_cast<float>(value)));
}

} // namespace

std::optional<QPageLayout> ReadPageLayout()
{
    const auto width = ReadMillimetres(QStringLiteral("PaperWidth"));
    const auto height = ReadMillimetres(QStringLiteral("PaperHeight"));
    const auto left = ReadMillimetres(QStringLiteral("MarginLeft"));
    const auto top = ReadMillimetres(QStringLiteral("MarginTop"));
    const auto right = ReadMillimetres(QStringLiteral("MarginRight"));
    const auto bottom = ReadMillimetres(QStringLiteral("MarginBottom"));
    const QString orientation =
        GetSetting(EditorAppName, Section, QStringLiteral("Orientation"), QString());
    if (!width || !height || !left || !top || !right || !bottom)
        return std::nullopt;
    if (*width < MinPaperMillimetres || *height < MinPaperMillimetres)
        return std::nullopt;
    QPageLayout::Orientation turned;
    if (orientation == QLatin1String("Portrait"))
        turned = QPageLayout::Portrait;
    else if (orientation == QLatin1String("Landscape"))
        turned = QPageLayout::Landscape;
    else
        return std::nullopt;

    const double across = turned == QPageLayout::Portrait ? *width : *height;
    const double down = turned == QPageLayout::Portrait ? *height : *width;
    if (*left + *right > across * 0.8 || *top + *bottom > down * 0.8)
        return std::nullopt;
    // A standard paper is recognised by its size, so a printer offers it by its name.
    const QPageSize paper(QSizeF(*width, *height), QPageSize::Millimeter, QString(),
                          QPageSize::FuzzyMatch);
    QPageLayout layout(paper, turned, QMarginsF(*left, *top, *right, *bottom),
                       QPageLayout::Millimeter);
    if (!layout.isValid())
        return std::nullopt;
    return layout;
}

void WritePageLayout(const QPageLayout &layout)
{
    const QSizeF paper = layout.pageSize().size(QPageSize::Millimeter);
    const QMarginsF margins = layout.margins(QPageLayout::Millimeter);
    WriteMillimetres(QStringLiteral("PaperWidth"), paper.width());
    WriteMillimetres(QStringLiteral("PaperHeight"), paper.height());
    SaveSetting(EditorAppName, Section, QStringLiteral("Orientation"),
                layout.orientation() == QPageLayout::Landscape ? QStringLiteral("Landscape")
                                                               : QStringLiteral("Portrait"));
    WriteMillimetres(QStringLiteral("MarginLeft"), margins.left());
    WriteMillimetres(QStringLiteral("MarginTop"), margins.top());
    WriteMillimetres(QStringLiteral("MarginRight"), margins.right());
    WriteMillimetres(QStringLiteral("MarginBottom"), margins.bottom());
}

void ApplyPageLayout(QPrinter &printer, const std::optional<QPageLayout> &layout)
{
    if (layout) {
        printer.setPageLayout(*layout);
        return;
    }
    const double m = DefaultMarginMillimetres;
    printer.setPageMargins(QMarginsF(m, m, m, m), QPageLayout::Millimeter);
}
