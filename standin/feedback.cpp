// SPDX-License-Identifier: GPL-3.0-or-later
#include "standin/feedback.h"

namespace standin {

void Feedback::row() {
    if (every_ <= 0 || ++count_ % every_ != 0)
        return;
    log_.dot();
    dotsOnLine_ = true;
}

void Feedback::endTable() {
    count_ = 0;
    if (!dotsOnLine_)
        return;
    log_.endDots();
    dotsOnLine_ = false;
}

} // namespace standin
