// SPDX-License-Identifier: GPL-3.0-or-later
#include "standin/logon_prompt.h"

#include "standin/interruption.h"

#include <cerrno>
#include <poll.h>
#include <string_view>
#include <termios.h>
#include <unistd.h>

namespace standin {

namespace {

constexpr std::size_t maxAnswerBytes = 1024;

void show(std::string_view text) {
    while (!text.empty()) {
        const auto written = ::write(STDERR_FILENO, text.data(), text.size());
        if (written <= 0 && !(written < 0 && errno == EINTR && !interrupted()))
            return;
        if (written > 0)
            text.remove_prefix(static_cast<std::size_t>(written));
    }
}

// One line from the terminal, without its line end; nullopt at end of input. The terminal's
// line discipline does the editing, so a read returns a whole line.
std::optional<std::string> readAnswer() {
    std::string answer;
    for (;;) {
        // A signal may come just before the read would block: look at the flag now and then.
        pollfd input{STDIN_FILENO, POLLIN, 0};
        while (::poll(&input, 1, 200) == 0)
            throwIfInterrupted();
        throwIfInterrupted();
        char c = 0;
        const auto got = ::read(STDIN_FILENO, &c, 1);
        if (got < 0 && errno == EINTR) {
            throwIfInterrupted();
            continue;
        }
        if (got <= 0)
            return answer.empty() ? std::nullopt : std::optional(answer);
        if (c == '\n')
            return answer;
        if (c != '\r' && answer.size() < maxAnswerBytes)
            answer += c;
    }
}

// Echo off for as long as it lives; the newline is still echoed so the next line starts clean.
class EchoOff {
public:
    EchoOff() {
        if (::tcgetattr(STDIN_FILENO, &saved_) != 0)
            return;
        registerTerminalToRestore(saved_);
        termios quiet = saved_;
        quiet.c_lflag &= ~static_cast<tcflag_t>(ECHO);
        quiet.c_lflag |= ECHONL;
        // Anything typed ahead is dropped, so it cannot become the password unseen.
        active_ = ::tcsetattr(STDIN_FILENO, TCSAFLUSH, &quiet) == 0;
        if (!active_)
            forgetTerminalToRestore();
    }
    ~EchoOff() {
        if (!active_)
            return;
        ::tcsetattr(STDIN_FILENO, TCSANOW, &saved_);
        forgetTerminalToRestore();
    }
    EchoOff(const EchoOff&) = delete;
    EchoOff& operator=(const EchoOff&) = delete;

private:
    termios saved_{};
    bool active_ = false;
};

} // namespace

bool canPromptForLogon() {
    return ::isatty(STDIN_FILENO) == 1;
}

std::optional<TypedLogon> promptForLogon() {
    try {
        show("Username: ");
        auto user = readAnswer();
        std::optional<std::string> password;
        if (user) {
            EchoOff echoOff; // before the prompt, so nothing typed after it is echoed or dropped
            show("Password: ");
            password = readAnswer();
        }
        if (!password) {
            show("\n"); // what follows starts on a line of its own
            return std::nullopt;
        }
        return TypedLogon{std::move(*user), std::move(*password)};
    } catch (...) {
        show("\n");
        throw;
    }
}

} // namespace standin
