// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "runs/lines/LineClass.h"

#include <QColor>
#include <QTextBlock>

// The console's text holds a row of the screen in each block. What a block knows of its row,
// kept in its user state: whether the screen wrapped it, so that the utility's line goes on in
// the next block, and the class of that line.
namespace runs::console::rows {

int state(bool wrapped, lines::LineClass line);
bool isWrapped(const QTextBlock& block);
lines::LineClass lineClass(const QTextBlock& block);

// The first and the last block of the utility's line that holds block.
QTextBlock lineStart(QTextBlock block);
QTextBlock lineEnd(QTextBlock block);

// Draws the block's text in a colour; an invalid colour gives it the text colour back.
void paint(const QTextBlock& block, const QColor& colour);

} // namespace runs::console::rows
