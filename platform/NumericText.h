// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include <optional>

namespace platform {

// The number a whole text stands for, blanks around it allowed: a sign, digits, a decimal
// part and an exponent under the system locale, or else under the C locale. Words, units
// ("64k") and non-finite values are not numbers.
std::optional<double> numericValue(const QString& text);

inline bool isNumericText(const QString& text) {
    return numericValue(text).has_value();
}

} // namespace platform
