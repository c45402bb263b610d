#pragma once

#include <stdexcept>

namespace standin {

// Ends the run as a failure; the message goes to the log as it is.
class Failure : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

} // namespace standin
