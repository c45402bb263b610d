#include "standin/interrupt_cleanup.h"

#include <csignal>
#include <cstring>
#include <limits.h>
#include <unistd.h>

namespace standin {

namespace {

char temporaryPathBuffer[PATH_MAX];
volatile sig_atomic_t armed = 0;
int logDescriptor = -1;

constexpr char interruptedText[] =
    "ERROR: interrupted by a signal; the unfinished dump was removed.\nExport failed.\n";

void writeInterrupted(int fd) {
    if (fd >= 0) {
        [[maybe_unused]] const auto written =
            ::write(fd, interruptedText, sizeof interruptedText - 1);
    }
}

void onSignal(int) {
    if (armed) {
        ::unlink(temporaryPathBuffer);
        writeInterrupted(logDescriptor);
        writeInterrupted(STDERR_FILENO);
    }
    ::_exit(2);
}

void setHandler(void (*handler)(int)) {
    struct sigaction action {};
    action.sa_handler = handler;
    sigemptyset(&action.sa_mask);
    for (int signal : {SIGINT, SIGTERM, SIGHUP})
        sigaction(signal, &action, nullptr);
}

} // namespace

void removeOnInterrupt(const std::string& temporaryPath, int logFd) {
    if (temporaryPath.size() >= sizeof temporaryPathBuffer)
        return;
    std::memcpy(temporaryPathBuffer, temporaryPath.c_str(), temporaryPath.size() + 1);
    logDescriptor = logFd;
    armed = 1;
    setHandler(onSignal);
}

void disarmInterruptCleanup() {
    armed = 0;
    setHandler(SIG_DFL);
}

} // namespace standin
