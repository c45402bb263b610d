// SPDX-License-Identifier: GPL-3.0-or-later
#include "runs/lines/ProblemColours.h"

#include <algorithm>
#include <cmath>

namespace runs::lines {

namespace {

// The hues at their own lightness, chosen to read on white; other backgrounds move them.
const QColor baseError{0xC0, 0x1C, 0x1C};
const QColor baseWarning{0xA8, 0x50, 0x00};
const QColor baseSucceeded{0x1E, 0x7B, 0x34};

QColor withLightness(const QColor& colour, double lightness) {
    float hue = 0, saturation = 0, ignored = 0;
    colour.getHslF(&hue, &saturation, &ignored);
    return QColor::fromHslF(hue, saturation, static_cast<float>(lightness)).toRgb();
}

// A colour that reads on the background is kept. Another is moved along its lightness, its hue
// kept, until it reads comfortably: a little past the minimum, where the background leaves room
// for that. Luminance grows with lightness, so the least change is found by halving; black or
// white at the far end always reaches the minimum, whatever the background.
QColor readableOn(const QColor& base, const QColor& background) {
    if (contrastRatio(base, background) >= minimumContrast)
        return base;
    const bool darker =
        contrastRatio(Qt::black, background) >= contrastRatio(Qt::white, background);
    const double far = darker ? 0.0 : 1.0;
    constexpr double comfortable = 5.5;
    const double wanted =
        std::min(comfortable, contrastRatio(withLightness(base, far), background));
    double near = base.lightnessF();
    double reaching = far;
    for (int step = 0; step < 24; ++step) {
        const double middle = (near + reaching) / 2;
        if (contrastRatio(withLightness(base, middle), background) >= wanted)
            reaching = middle;
        else
            near = middle;
    }
    // Whole channel values may round the found colour back under the minimum.
    QColor found = withLightness(base, reaching);
    for (int nudge = 1; contrastRatio(found, background) < minimumContrast && nudge <= 255; ++nudge)
        found = withLightness(base, reaching + (far - reaching) * nudge / 255.0);
    return found;
}

} // namespace

double relativeLuminance(const QColor& colour) {
    const auto channel = [](double value) {
        return value <= 0.03928 ? value / 12.92 : std::pow((value + 0.055) / 1.055, 2.4);
    };
    const QColor rgb = colour.toRgb();
    return 0.2126 * channel(rgb.redF()) + 0.7152 * channel(rgb.greenF()) +
           0.0722 * channel(rgb.blueF());
}

double contrastRatio(const QColor& a, const QColor& b) {
    const double one = relativeLuminance(a);
    const double two = relativeLuminance(b);
    return (std::max(one, two) + 0.05) / (std::min(one, two) + 0.05);
}

QColor ProblemColours::colourOf(const LineClass& line) const {
    switch (line.kind) {
    case LineKind::Plain:
        return {};
    case LineKind::Error:
        return error;
    case LineKind::Warning:
        return warning;
    case LineKind::Closing:
        break;
    }
    switch (line.outcome) {
    case Outcome::Succeeded:
        return succeeded;
    case Outcome::SucceededWithWarnings:
        return warning;
    case Outcome::Failed:
        break;
    }
    return error;
}

ProblemColours problemColours(const QColor& background) {
    return {readableOn(baseError, background), readableOn(baseWarning, background),
            readableOn(baseSucceeded, background)};
}

ProblemColours problemColours(const QPalette& palette, QPalette::ColorGroup group) {
    return problemColours(palette.color(group, QPalette::Base));
}

} // namespace runs::lines
