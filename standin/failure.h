// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <stdexcept>
#include <string>

namespace standin {

// Ends the run as a failure; the message goes to the log as it is.
class Failure : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// SQLite refused a statement; code is its extended result code. imp ends the table it was
// loading and goes on with the next.
class DatabaseError : public Failure {
public:
    DatabaseError(const std::string& message, int code) : Failure(message), code_(code) {}
    int code() const { return code_; }

private:
    int code_;
};

} // namespace standin
