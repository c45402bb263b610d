// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "runs/lines/LineClass.h"

#include <QColor>
#include <QPalette>

// The colours problem lines and closing lines are drawn in, in the console and in the log window.
namespace runs::lines {

// The least contrast a colour keeps to the background it is drawn on (WCAG 2 AA, normal text).
inline constexpr double minimumContrast = 4.5;

// Relative luminance and contrast ratio as the Web Content Accessibility Guidelines define them.
double relativeLuminance(const QColor& colour);
double contrastRatio(const QColor& a, const QColor& b);

struct ProblemColours {
    QColor error;     // lines with a message code or "ERROR:", and a failed run's closing line
    QColor warning;   // "WARNING:" lines, and the closing line of a run with warnings
    QColor succeeded; // the closing line of a run without warnings

    // The colour a line of that class is drawn in; an invalid colour for a plain line, which keeps
    // the text colour.
    QColor colourOf(const LineClass& line) const;
};

// Red, amber and green. Each keeps its hue; one that does not reach minimumContrast to the
// background is made darker (on a light background) or lighter (on a dark one) until it reads
// comfortably, a little past the minimum where the background leaves room for that.
ProblemColours problemColours(const QColor& background);

// For a text box, which draws its text on the palette's Base colour.
ProblemColours problemColours(const QPalette& palette,
                              QPalette::ColorGroup group = QPalette::Active);

} // namespace runs::lines
