// SPDX-License-Identifier: GPL-3.0-or-later
#include "runs/logview/LogTextUnits.h"

#include <QTextBoundaryFinder>

namespace runs::logview {

namespace {

bool isLine(QAccessible::TextBoundaryType unit) {
    return unit == QAccessible::LineBoundary || unit == QAccessible::SentenceBoundary ||
           unit == QAccessible::ParagraphBoundary;
}

// From the start of the line that holds the offset to its end, its line feed included. At the
// text's end it is the last line, empty after a final line feed.
TextSpan lineAt(const QString& text, int offset) {
    const qsizetype before = offset == 0 ? -1 : text.lastIndexOf(u'\n', offset - 1);
    const qsizetype feed = text.indexOf(u'\n', offset);
    return {static_cast<int>(before + 1), static_cast<int>(feed < 0 ? text.size() : feed + 1)};
}

// The character (or the word, or the blanks between words) that holds the offset, found in the
// offset's line within reach of it. Each loop moves one way only and stops at the ends, where
// the finder has no boundary left to give.
TextSpan segmentAt(const QString& text, int offset, QTextBoundaryFinder::BoundaryType type) {
    const auto size = static_cast<int>(text.size());
    if (offset >= size)
        return {size, size};
    const TextSpan line = lineAt(text, offset);
    const int from = qMax(line.start, offset - LogTextUnits::Reach);
    const int to = qMin(line.end, offset + LogTextUnits::Reach + 1);
    QTextBoundaryFinder finder(type, text.constData() + from, to - from);
    const bool wordsOnly = type == QTextBoundaryFinder::Word;
    const auto counts = [&finder, wordsOnly] {
        return !wordsOnly || (finder.boundaryReasons() &
                              (QTextBoundaryFinder::StartOfItem | QTextBoundaryFinder::EndOfItem));
    };
    const qsizetype at = offset - from;
    finder.setPosition(at);
    qsizetype start = at;
    if (!finder.isAtBoundary() || !counts()) {
        do {
            start = finder.toPreviousBoundary();
        } while (start > 0 && !counts());
        start = qMax<qsizetype>(0, start);
    }
    finder.setPosition(at);
    qsizetype end = 0;
    do {
        end = finder.toNextBoundary();
    } while (end > 0 && end < to - from && !counts());
    if (end < 0)
        end = to - from;
    return {from + static_cast<int>(start), from + static_cast<int>(end)};
}

} // namespace

TextSpan LogTextUnits::at(const QString& text, int offset, QAccessible::TextBoundaryType unit) {
    if (offset < 0 || offset > text.size())
        return {};
    switch (unit) {
    case QAccessible::CharBoundary:
        return segmentAt(text, offset, QTextBoundaryFinder::Grapheme);
    case QAccessible::WordBoundary:
        return segmentAt(text, offset, QTextBoundaryFinder::Word);
    case QAccessible::SentenceBoundary:
    case QAccessible::ParagraphBoundary:
    case QAccessible::LineBoundary:
        return lineAt(text, offset);
    case QAccessible::NoBoundary:
        return {0, static_cast<int>(text.size())};
    }
    return {}; // a kind of part this program does not know: none, rather than a guess
}

TextSpan LogTextUnits::before(const QString& text, int offset, QAccessible::TextBoundaryType unit) {
    const TextSpan here = at(text, offset, unit);
    if (here.isNone() || here.start == 0 || unit == QAccessible::NoBoundary)
        return {};
    return at(text, here.start - 1, unit);
}

TextSpan LogTextUnits::after(const QString& text, int offset, QAccessible::TextBoundaryType unit) {
    const TextSpan here = at(text, offset, unit);
    if (here.isNone() || here.start == here.end || unit == QAccessible::NoBoundary)
        return {};
    // After a final line feed comes one more line, empty; after the last character, nothing.
    if (here.end == text.size() && !(isLine(unit) && text.endsWith(u'\n')))
        return {};
    return at(text, here.end, unit);
}

} // namespace runs::logview
