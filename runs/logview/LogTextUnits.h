// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QAccessible>
#include <QString>

namespace runs::logview {

// A part of a text between two offsets; none is -1 to -1, as screen readers are told.
struct TextSpan {
    int start = -1;
    int end = -1;
    bool isNone() const { return start < 0; }
    auto operator<=>(const TextSpan&) const = default;
};

// The parts a screen reader reads a text by: characters, words, lines, or the whole. A line of
// the log answers for a sentence and a paragraph too. Each answer looks at the line around the
// offset only, and at most a few thousand characters of a long line, so that any question costs
// the same at any offset of any text. Offsets run from 0 to the text's size; the part at the
// size is empty but for a line, where it is the last line.
class LogTextUnits {
public:
    // Characters either side of an offset that a character or a word is looked for in.
    static constexpr int Reach = 1024;

    static TextSpan at(const QString& text, int offset, QAccessible::TextBoundaryType unit);
    // The part that ends where the one at the offset starts, and the one that starts where it
    // ends.
    static TextSpan before(const QString& text, int offset, QAccessible::TextBoundaryType unit);
    static TextSpan after(const QString& text, int offset, QAccessible::TextBoundaryType unit);
};

} // namespace runs::logview
