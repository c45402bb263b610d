// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace standin {

// Reads a file line by line through one large buffer. A returned view stays valid until the next
// call.
class LineReader {
public:
    explicit LineReader(const std::string& path); // throws Failure when the file cannot be opened
    ~LineReader();
    LineReader(const LineReader&) = delete;
    LineReader& operator=(const LineReader&) = delete;

    // The next line without its '\n'; nullopt at the end. A last line lacking its '\n' is
    // returned too, and lastLineComplete() then says false.
    std::optional<std::string_view> next();
    bool lastLineComplete() const { return complete_; }
    std::int64_t lineNumber() const { return lineNumber_; }

    // The first bytes of the file, without consuming them; shorter when the file is.
    std::string_view peekBytes(std::size_t count);

    // Back to the first line of the same open file, for a second reading.
    void rewind();

private:
    bool fill(); // false at end of file

    int fd_ = -1;
    std::string path_;
    std::string buffer_;
    std::size_t start_ = 0;
    std::size_t end_ = 0;
    std::int64_t lineNumber_ = 0;
    bool complete_ = true;
    bool atEnd_ = false;
};

} // namespace standin
