#include "standin/log_writer.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace standin {

namespace {

void writeAll(int fd, std::string_view text) {
    while (!text.empty()) {
        const auto written = ::write(fd, text.data(), text.size());
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return; // a log that cannot be written must not end the run
        text.remove_prefix(static_cast<std::size_t>(written));
    }
}

// Operator input is echoed into the log; keep each message on its own line.
std::string printable(std::string_view text) {
    std::string result(text);
    for (char& c : result) {
        if (static_cast<unsigned char>(c) < 0x20 && c != '\t')
            c = '?';
    }
    return result;
}

} // namespace

LogWriter::~LogWriter() {
    if (fd_ >= 0)
        ::close(fd_);
}

std::string LogWriter::open(const std::string& path) {
    fd_ = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (fd_ < 0)
        return "cannot write the log file " + path + ": " + std::strerror(errno);
    return {};
}

void LogWriter::line(std::string_view text) {
    const auto lineText = printable(text) + '\n';
    writeAll(STDERR_FILENO, lineText);
    if (fd_ >= 0)
        writeAll(fd_, lineText);
}

void LogWriter::warning(std::string_view text) {
    ++warnings_;
    line("WARNING: " + std::string(text));
}

void LogWriter::error(std::string_view text) {
    ++errors_;
    line("ERROR: " + std::string(text));
}

int LogWriter::finish(Tool tool) {
    const int status = errors_ > 0 ? 2 : warnings_ > 0 ? 1 : 0;
    line(closingLine(tool, status));
    if (fd_ >= 0)
        ::fsync(fd_);
    return status;
}

std::string closingLine(Tool tool, int exitStatus) {
    const std::string what = tool == Tool::Export ? "Export" : "Import";
    switch (exitStatus) {
    case 0:
        return what + " completed successfully.";
    case 1:
        return what + " completed with warnings.";
    default:
        return what + " failed.";
    }
}

} // namespace standin
