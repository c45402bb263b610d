// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QStringList>
#include <QStringView>

namespace runs::console {

// The cells a character takes on a terminal, as terminals count them: two for East Asian wide
// and fullwidth characters, none for combining marks and zero-width characters, one for the
// rest. Control characters are not asked about.
int cellWidth(char32_t code);

// The cells a row's text takes.
qsizetype cellCount(QStringView text);

// A line of text in rows of at most columns cells, as a terminal wraps it: a wide character
// that does not fit starts the next row, and marks stay with the character before them.
QStringList wrapRows(QStringView line, qsizetype columns);

} // namespace runs::console
