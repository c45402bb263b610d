// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace runs::console {

// The cells a character takes on a terminal, as terminals count them: two for East Asian wide
// and fullwidth characters, none for combining marks and zero-width characters, one for the
// rest. Control characters are not asked about.
int cellWidth(char32_t code);

} // namespace runs::console
