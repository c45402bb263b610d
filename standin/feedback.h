// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "standin/log_writer.h"

#include <cstdint>

namespace standin {

// feedback=N: a dot on stdout every N rows, written at once so a watching terminal sees progress.
class Feedback {
public:
    Feedback(std::int64_t every, LogWriter& log) : every_(every), log_(log) {}
    void row();
    void endTable(); // ends the line of dots, if any were printed

private:
    std::int64_t every_;
    LogWriter& log_;
    std::int64_t count_ = 0;
    bool dotsOnLine_ = false;
};

} // namespace standin
