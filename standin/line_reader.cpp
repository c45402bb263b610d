// SPDX-License-Identifier: GPL-3.0-or-later
#include "standin/line_reader.h"

#include "standin/failure.h"
#include "standin/interruption.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace standin {

namespace {
constexpr std::size_t chunkSize = 1 << 20;
}

LineReader::LineReader(const std::string& path) : path_(path) {
    fd_ = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd_ < 0)
        throw Failure(messages::cannotRead(path, std::strerror(errno)));
    buffer_.resize(chunkSize);
}

LineReader::~LineReader() {
    if (fd_ >= 0)
        ::close(fd_);
}

bool LineReader::fill() {
    if (atEnd_)
        return false;
    if (start_ > 0) {
        std::memmove(buffer_.data(), buffer_.data() + start_, end_ - start_);
        end_ -= start_;
        start_ = 0;
    }
    // Doubling keeps a very long line (a large blob) from being copied over and over.
    if (buffer_.size() - end_ < chunkSize / 2)
        buffer_.resize(buffer_.size() + std::max(chunkSize, buffer_.size()));
    for (;;) {
        const auto got = ::read(fd_, buffer_.data() + end_, buffer_.size() - end_);
        if (got < 0 && errno == EINTR) {
            throwIfInterrupted();
            continue;
        }
        if (got < 0)
            throw Failure(
                messages::abnormalEnd("cannot read " + path_ + ": " + std::strerror(errno)));
        if (got == 0) {
            atEnd_ = true;
            return false;
        }
        end_ += static_cast<std::size_t>(got);
        return true;
    }
}

std::optional<std::string_view> LineReader::next() {
    std::size_t searchFrom = start_;
    for (;;) {
        const void* found = std::memchr(buffer_.data() + searchFrom, '\n', end_ - searchFrom);
        if (found) {
            const auto stop =
                static_cast<std::size_t>(static_cast<const char*>(found) - buffer_.data());
            std::string_view line(buffer_.data() + start_, stop - start_);
            start_ = stop + 1;
            ++lineNumber_;
            return line;
        }
        const std::size_t scanned = end_ - start_;
        if (!fill())
            break;
        searchFrom = start_ + scanned;
    }
    if (start_ == end_)
        return std::nullopt;
    std::string_view line(buffer_.data() + start_, end_ - start_);
    start_ = end_;
    ++lineNumber_;
    complete_ = false;
    return line;
}

std::string_view LineReader::peekBytes(std::size_t count) {
    while (end_ - start_ < count && fill()) {
    }
    return std::string_view(buffer_.data() + start_, std::min(count, end_ - start_));
}

void LineReader::rewind() {
    if (::lseek(fd_, 0, SEEK_SET) != 0)
        throw Failure(
            messages::abnormalEnd("cannot read " + path_ + " again: " + std::strerror(errno)));
    start_ = end_ = 0;
    lineNumber_ = 0;
    complete_ = true;
    atEnd_ = false;
}

} // namespace standin
