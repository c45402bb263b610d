#pragma once

#include <cstdint>

namespace standin {

// feedback=N: a dot on stdout every N rows, flushed at once so a watching GUI sees progress.
class Feedback {
public:
    explicit Feedback(std::int64_t every) : every_(every) {}
    void row();
    void endTable(); // ends the line of dots, if any were printed

private:
    std::int64_t every_;
    std::int64_t count_ = 0;
    bool dotsOnLine_ = false;
};

} // namespace standin
