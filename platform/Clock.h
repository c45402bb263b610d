// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDate>

#include <optional>

namespace platform {

// The current local date; tests pin it so dated file names are reproducible.
class Clock {
public:
    static QDate today();
    static void setFixedDate(std::optional<QDate> date);

private:
    static std::optional<QDate> s_fixedDate;
};

} // namespace platform
