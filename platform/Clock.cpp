// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/Clock.h"

namespace platform {

std::optional<QDate> Clock::s_fixedDate;

QDate Clock::today() {
    return s_fixedDate ? *s_fixedDate : QDate::currentDate();
}

void Clock::setFixedDate(std::optional<QDate> date) {
    s_fixedDate = date;
}

} // namespace platform
