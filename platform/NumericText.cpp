// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/NumericText.h"

#include <QLocale>

#include <cmath>

namespace platform {

namespace {

std::optional<double> convert(const QLocale& locale, const QString& text) {
    bool ok = false;
    const double value = locale.toDouble(text, &ok);
    if (!ok || !std::isfinite(value))
        return std::nullopt;
    return value;
}

} // namespace

std::optional<double> numericValue(const QString& text) {
    const QString inner = text.trimmed();
    if (inner.isEmpty())
        return std::nullopt;
    // QLocale also reads "inf" and "nan"; an operator means neither by a number.
    for (const QChar c : inner) {
        if (c.isLetter() && c.toLower() != u'e')
            return std::nullopt;
    }
    if (auto value = convert(QLocale::system(), inner))
        return value;
    return convert(QLocale::c(), inner);
}

} // namespace platform
