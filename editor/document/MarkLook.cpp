#include "MarkLook.h"

#include <QPalette>

#include <algorithm>
#include <cmath>
#include <optional>
#include <tuple>

namespace {

double Luminance(const QColor &colour)
{
    const auto linear = [](double channel) {
        return channel <= 0.04045 ? channel / 12.92 : std::pow((channel + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * linear(colour.redF()) + 0.7152 * linear(colour.greenF()) +
           0.0722 * linear(colour.blueF());
}

QColor Mix(const QColor &from, const QColor &to, double share)
{
    const auto mix = [share](int a, int b) {
        return static_cast<int>(std::lround(a + (b - a) * share));
    };
    return QColor(mix(from.red(), to.red()), mix(from.green(), to.green()),
                  mix(from.blue(), to.blue()));
}

} // namespace

double ContrastRatio(const QColor &a, const QColor &b)
{
    const double la = Luminance(a);
    const double lb = Luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

MarkLook MarkLookFor(const QPalette &palette)
{
    const QColor base = palette.color(QPalette::Base);
    const QColor text = palette.color(QPalette::Text);
    // Every paint asks, and the palette hardly ever changes.
    static std::optional<std::tuple<QRgb, QRgb, MarkLook>> last;
    if (last && std::get<0>(*last) == base.rgba() && std::get<1>(*last) == text.rgba())
        return std::get<2>(*last);
    // The tint goes from the background towards the text's side: a deep red on a light
    // background, a light one on a dark background, so the glyphs keep their contrast.
    const bool dark = Luminance(base) < Luminance(text);
    const QColor red = dark ? QColor(255, 110, 110) : QColor(185, 0, 0);
    MarkLook look;
    look.tintMode = dark ? QPainter::CompositionMode_Lighten : QPainter::CompositionMode_Darken;
    const auto shown = [&](const QColor &tint) {
        const auto pick = [dark](int a, int b) { return dark ? std::max(a, b) : std::min(a, b); };
        return QColor(pick(tint.red(), base.red()), pick(tint.green(), base.green()),
                      pick(tint.blue(), base.blue()));
    };
    // The palest tint that stands out enough: from the background to the red, and on
    // towards the text for a background (mid grey) the red is too close to.
    constexpr int Steps = 32;
    look.tint = text;
    for (int step = 1; step <= 2 * Steps; ++step) {
        const QColor tint = step <= Steps ? Mix(base, red, double(step) / Steps)
                                          : Mix(red, text, double(step - Steps) / Steps);
        if (ContrastRatio(shown(tint), base) >= MarkContrast) {
            look.tint = tint;
            break;
        }
    }
    // The underline in the text's own colour: it reads on the tint as the text does, and
    // tells a mark apart without telling colours apart.
    look.underline = text;
    last.emplace(base.rgba(), text.rgba(), look);
    return look;
}
