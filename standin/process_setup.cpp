// SPDX-License-Identifier: GPL-3.0-or-later
#include "standin/process_setup.h"

#include <csignal>
#include <fcntl.h>
#include <initializer_list>
#include <unistd.h>

namespace standin {

namespace {

bool isClosed(int fd) {
    return ::fcntl(fd, F_GETFD) < 0;
}

// pipe() takes the lowest free descriptors; every lower standard one is already open, so the
// read end lands on fd. stdin keeps the read end of a pipe with no writer (end of input),
// stdout and stderr the write end of a pipe with no reader (EPIPE).
void fillWithBrokenPipe(int fd) {
    int ends[2];
    if (::pipe(ends) != 0 || ends[0] != fd)
        return;
    if (fd == STDIN_FILENO) {
        ::close(ends[1]);
        return;
    }
    ::dup2(ends[1], fd);
    ::close(ends[1]);
}

} // namespace

void prepareProcess() {
    for (int fd : {STDIN_FILENO, STDOUT_FILENO, STDERR_FILENO}) {
        if (isClosed(fd))
            fillWithBrokenPipe(fd);
    }
    std::signal(SIGPIPE, SIG_IGN);
    std::signal(SIGXFSZ, SIG_IGN);
}

} // namespace standin
