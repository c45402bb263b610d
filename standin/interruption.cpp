// SPDX-License-Identifier: GPL-3.0-or-later
#include "standin/interruption.h"

#include "standin/failure.h"
#include "standin/log_writer.h"

#include <csignal>
#include <cstring>
#include <limits.h>
#include <unistd.h>

namespace standin {

namespace {

constexpr int caughtSignals[] = {SIGINT, SIGTERM, SIGHUP, SIGQUIT};

volatile sig_atomic_t receivedSignal = 0;
volatile sig_atomic_t partialRegistered = 0;
volatile sig_atomic_t terminalRegistered = 0;
volatile sig_atomic_t logDescriptor = -1;
char partialPath[PATH_MAX];
termios savedTerminal{};
const char* atOnceText = "";
std::size_t atOnceLength = 0;

void writeText(int fd, const char* text, std::size_t length) {
    if (fd >= 0) {
        [[maybe_unused]] const auto written = ::write(fd, text, length);
    }
}

// Only async-signal-safe calls from here on.
void onSignal(int signal) {
    if (receivedSignal == 0) {
        receivedSignal = signal;
        return;
    }
    if (partialRegistered)
        ::unlink(partialPath);
    if (terminalRegistered)
        ::tcsetattr(STDIN_FILENO, TCSANOW, &savedTerminal);
    writeText(logDescriptor, atOnceText, atOnceLength);
    writeText(STDERR_FILENO, atOnceText, atOnceLength);
    ::_exit(2);
}

} // namespace

void catchInterruptions(Tool tool) {
    // Made now: the handler may only write it.
    static std::string text;
    text.clear();
    for (const auto& message : messages::withLead(
             messages::statementLead(tool),
             {messages::cancelled(
                 tool == Tool::Export
                     ? "stopped at once by a second signal; the unfinished dump was removed"
                     : "stopped at once by a second signal; the database rolls back the "
                       "unfinished table when it is next opened")}))
        text += message.line() + '\n';
    text += closingLine(tool, 2) + '\n';
    atOnceText = text.c_str();
    atOnceLength = text.size();

    // No SA_RESTART: a read or write blocked on a terminal or pipe returns EINTR, so the work
    // notices the signal instead of waiting on.
    struct sigaction action {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    for (int signal : caughtSignals)
        sigaction(signal, &action, nullptr);
}

bool interrupted() {
    return receivedSignal != 0;
}

void throwIfInterrupted() {
    if (receivedSignal == 0)
        return;
    const char* name = ::sigabbrev_np(receivedSignal);
    throw Failure(messages::cancelled(std::string("interrupted by SIG") + (name ? name : "?") +
                                      "; stopped before finishing"));
}

void registerPartialFile(const std::string& path) {
    partialRegistered = 0;
    if (path.size() >= sizeof partialPath)
        return;
    std::memcpy(partialPath, path.c_str(), path.size() + 1);
    partialRegistered = 1;
}

void forgetPartialFile() {
    partialRegistered = 0;
}

void registerLogDescriptor(int fd) {
    logDescriptor = fd;
}

void registerTerminalToRestore(const termios& settings) {
    terminalRegistered = 0;
    savedTerminal = settings;
    terminalRegistered = 1;
}

void forgetTerminalToRestore() {
    terminalRegistered = 0;
}

} // namespace standin
