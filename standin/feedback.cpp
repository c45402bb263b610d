#include "standin/feedback.h"

#include <cstdio>

namespace standin {

void Feedback::row() {
    if (every_ <= 0 || ++count_ % every_ != 0)
        return;
    std::fputc('.', stdout);
    std::fflush(stdout);
    dotsOnLine_ = true;
}

void Feedback::endTable() {
    count_ = 0;
    if (!dotsOnLine_)
        return;
    std::fputc('\n', stdout);
    std::fflush(stdout);
    dotsOnLine_ = false;
}

} // namespace standin
