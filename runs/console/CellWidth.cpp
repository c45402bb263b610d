// SPDX-License-Identifier: GPL-3.0-or-later
#include "runs/console/CellWidth.h"

#include <array>
#include <atomic>
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

namespace {

int libraryWidth(char32_t code) {
    const locale_t locale = unicodeLocale();
    if (locale == nullptr)
        return 1;
    const locale_t previous = ::uselocale(locale);
    const int width = ::wcwidth(static_cast<wchar_t>(code));
    ::uselocale(previous);
    // Characters the library has no width for are drawn in a cell of their own.
    return width < 0 ? 1 : width;
}

} // namespace

int cellWidth(char32_t code) {
    // Below the combining diacritical marks every printable character takes one cell.
    if (code < 0x300)
        return 1;
    if (code > 0xFFFF)
        return libraryWidth(code);
    // The library is asked once for each character of the basic plane: the width plus one,
    // none until asked.
    static std::array<std::atomic<signed char>, 0x10000> known{};
    std::atomic<signed char>& entry = known[code];
    const signed char seen = entry.load(std::memory_order_relaxed);
    if (seen != 0)
        return seen - 1;
    const int width = libraryWidth(code);
    entry.store(static_cast<signed char>(width + 1), std::memory_order_relaxed);
    return width;
}

namespace {

// Calls take(code, position) for each character of text, a pair of surrogates being one.
template <typename Take> void forEachCharacter(QStringView text, Take take) {
    for (qsizetype i = 0; i < text.size();) {
        const QChar unit = text[i];
        if (unit.isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            take(QChar::surrogateToUcs4(unit, text[i + 1]), i);
            i += 2;
        } else {
            take(char32_t{unit.unicode()}, i);
            ++i;
        }
    }
}

} // namespace

qsizetype cellCount(QStringView text) {
    qsizetype cells = 0;
    forEachCharacter(text, [&cells](char32_t code, qsizetype) { cells += cellWidth(code); });
    return cells;
}

QStringList wrapRows(QStringView line, qsizetype columns) {
    QStringList rows;
    qsizetype start = 0;
    qsizetype cells = 0;
    forEachCharacter(line, [&](char32_t code, qsizetype at) {
        const int width = cellWidth(code);
        if (width > 0 && cells > 0 && cells + width > columns) {
            rows.append(line.sliced(start, at - start).toString());
            start = at;
            cells = 0;
        }
        cells += width;
    });
    rows.append(line.sliced(start).toString());
    return rows;
}

} // namespace runs::console
