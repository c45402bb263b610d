// SPDX-License-Identifier: GPL-3.0-or-later
#include "runs/console/RowBlocks.h"

#include <QTextCursor>

namespace runs::console::rows {

namespace {

// The user state's bits: the wrap, then the line's kind and its outcome. A block never marked
// has the state -1, a plain row the program ended.
constexpr int WrappedBit = 1;
constexpr int KindShift = 1;
constexpr int OutcomeShift = 3;
constexpr int FieldMask = 3;

int field(const QTextBlock& block, int shift) {
    const int state = block.userState();
    return state < 0 ? 0 : (state >> shift) & FieldMask;
}

} // namespace

int state(bool wrapped, lines::LineClass line) {
    return (wrapped ? WrappedBit : 0) | static_cast<int>(line.kind) << KindShift |
           static_cast<int>(line.outcome) << OutcomeShift;
}

bool isWrapped(const QTextBlock& block) {
    return block.userState() >= 0 && (block.userState() & WrappedBit) != 0;
}

lines::LineClass lineClass(const QTextBlock& block) {
    lines::LineClass line;
    line.kind = static_cast<lines::LineKind>(field(block, KindShift));
    line.outcome = static_cast<lines::Outcome>(field(block, OutcomeShift));
    return line;
}

QTextBlock lineStart(QTextBlock block) {
    while (block.previous().isValid() && isWrapped(block.previous()))
        block = block.previous();
    return block;
}

QTextBlock lineEnd(QTextBlock block) {
    while (isWrapped(block) && block.next().isValid())
        block = block.next();
    return block;
}

void paint(const QTextBlock& block, const QColor& colour) {
    QTextCharFormat format;
    if (colour.isValid())
        format.setForeground(colour);
    QTextCursor cursor(block);
    cursor.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
    cursor.setCharFormat(format);
}

} // namespace runs::console::rows
