// SPDX-License-Identifier: GPL-3.0-or-later
#include "standin/log_writer.h"

#include "standin/interruption.h"

#include <cerrno>
#include <cstring>
#include <unistd.h>

namespace standin {

namespace {

// 0 when all was written, else the errno that stopped it. A signal that asks the run to stop
// abandons a write blocked on a terminal.
int writeAll(int fd, std::string_view text) {
    while (!text.empty()) {
        const auto written = ::write(fd, text.data(), text.size());
        if (written < 0 && errno == EINTR && !interrupted())
            continue;
        if (written < 0)
            return errno;
        if (written == 0)
            return EIO;
        text.remove_prefix(static_cast<std::size_t>(written));
    }
    return 0;
}

// Operator input and dump text are echoed into the log: keep each message on one line of a
// bounded length, cut between characters.
std::string printableLine(std::string_view text) {
    std::string result(utf8Prefix(text, LogWriter::maxLineBytes));
    const std::size_t cut = text.size() - result.size();
    for (char& c : result) {
        if (static_cast<unsigned char>(c) < 0x20 && c != '\t')
            c = '?';
    }
    if (cut > 0)
        result += "... (" + std::to_string(cut) + " bytes cut)";
    return result + '\n';
}

} // namespace

LogWriter::~LogWriter() {
    if (fd_ >= 0)
        ::close(fd_);
}

void LogWriter::attachFile(int fd, std::string path) {
    fd_ = fd;
    path_ = std::move(path);
    registerLogDescriptor(fd_);
    std::string kept;
    kept.swap(kept_);
    toFile(kept);
}

std::string LogWriter::outputLine(std::string_view text) {
    return charset_.encode(printableLine(text));
}

bool LogWriter::writeToFile(std::string_view text) {
    if (!fileProblem_.empty())
        return false;
    if (fd_ < 0) {
        kept_ += text;
        return true;
    }
    if (const int problem = writeAll(fd_, text); problem != 0) {
        fileProblem_ = "cannot write the log file " + path_ + ": " + std::strerror(problem);
        return false;
    }
    return true;
}

void LogWriter::toFile(std::string_view text) {
    if (writeToFile(text) || fileProblemThrown_)
        return;
    fileProblemThrown_ = true;
    ++errors_;
    throw LogFailure(messages::fileIo(fileProblem_));
}

void LogWriter::toTerminal(int fd, std::string_view text, bool& broken, const char* name) {
    if (broken)
        return;
    if (const int problem = writeAll(fd, text); problem != 0 && problem != EINTR) {
        broken = true;
        ++warnings_;
        writeToFile(
            outputLine(messages::fileIo(std::string(name) + " cannot be written (" +
                                        std::strerror(problem) + "); the log holds the rest")
                           .line()));
    }
}

void LogWriter::line(std::string_view text) {
    const auto lineText = outputLine(text);
    toTerminal(STDERR_FILENO, lineText, stderrBroken_, "standard error");
    toFile(lineText);
}

void LogWriter::note(const Messages& messages) {
    for (const auto& message : messages)
        line(message.line());
}

void LogWriter::warning(const Messages& messages) {
    ++warnings_;
    note(messages);
}

void LogWriter::error(const Messages& messages) {
    ++errors_;
    note(messages);
}

void LogWriter::dot() {
    toTerminal(STDOUT_FILENO, ".", stdoutBroken_, "standard output");
}

void LogWriter::endDots() {
    toTerminal(STDOUT_FILENO, "\n", stdoutBroken_, "standard output");
}

int LogWriter::finish() {
    if (fd_ >= 0 && fileProblem_.empty() && ::fsync(fd_) != 0)
        fileProblem_ = "cannot write the log file " + path_ + ": " + std::strerror(errno);
    if (!fileProblem_.empty() && !fileProblemThrown_) {
        fileProblemThrown_ = true;
        error(messages::fileIo(fileProblem_));
    }
    toTerminal(STDERR_FILENO, outputLine(closingLine(tool_, status())), stderrBroken_,
               "standard error");
    // A broken stderr is only found by that write, and makes it a warning.
    if (writeToFile(outputLine(closingLine(tool_, status()))) && (fd_ < 0 || ::fsync(fd_) == 0))
        return status();
    if (fileProblem_.empty())
        fileProblem_ = "cannot write the log file " + path_ + ": " + std::strerror(errno);
    if (status() != 2) {
        // The closing line did not reach the log: the run cannot count as done.
        ++errors_;
        toTerminal(STDERR_FILENO,
                   outputLine(messages::fileIo(fileProblem_).line()) +
                       outputLine(closingLine(tool_, 2)),
                   stderrBroken_, "standard error");
    }
    return status();
}

std::string closingLine(Tool tool, int exitStatus) {
    const std::string what = tool == Tool::Export ? "Export" : "Import";
    switch (exitStatus) {
    case 0:
        return what + " terminated successfully without warnings.";
    case 1:
        return what + " terminated successfully with warnings.";
    default:
        return (tool == Tool::Export ? "EXP-00000: " : "IMP-00000: ") + what +
               " terminated unsuccessfully";
    }
}

} // namespace standin
