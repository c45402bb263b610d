// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "standin/messages.h"

#include <stdexcept>
#include <string>

namespace standin {

// Ends the run as a failure; its messages go to the log as they are, each on a line of its own.
class Failure : public std::runtime_error {
public:
    explicit Failure(Message message) : Failure(Messages{std::move(message)}) {}
    explicit Failure(Messages messages)
        : std::runtime_error(joined(messages)), messages_(std::move(messages)) {}

    const Messages& messages() const { return messages_; }

private:
    static std::string joined(const Messages& messages) {
        std::string text;
        for (const auto& message : messages) {
            if (!text.empty())
                text += '\n';
            text += message.line();
        }
        return text;
    }

    Messages messages_;
};

// SQLite refused a statement; code is its extended result code, detail its own words. imp ends
// the table it was loading and goes on with the next.
class DatabaseError : public Failure {
public:
    DatabaseError(const std::string& detail, int code)
        : Failure(messages::fromSqlite(code, detail)), detail_(detail), code_(code) {}
    int code() const { return code_; }
    const std::string& detail() const { return detail_; }

private:
    std::string detail_;
    int code_;
};

} // namespace standin
