// SPDX-License-Identifier: GPL-3.0-or-later
#include "runs/console/CellWidth.h"

#include <clocale>
#include <cwchar>

#include <locale.h>

namespace runs::console {

namespace {

// The C library knows the widths only under a locale that speaks Unicode; this one does,
// whatever the program's own locale is.
locale_t unicodeLocale() {
    static const locale_t locale = ::newlocale(LC_CTYPE_MASK, "C.UTF-8", nullptr);
    return locale;
}

} // namespace

int cellWidth(char32_t code) {
    // Below the combining diacritical marks every printable character takes one cell.
    if (code < 0x300)
        return 1;
    const locale_t locale = unicodeLocale();
    if (locale == nullptr)
        return 1;
    const locale_t previous = ::uselocale(locale);
    const int width = ::wcwidth(static_cast<wchar_t>(code));
    ::uselocale(previous);
    // Characters the library has no width for are drawn in a cell of their own.
    return width < 0 ? 1 : width;
}

} // namespace runs::console
