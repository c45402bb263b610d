// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/BrokenPipes.h"

#include <csignal>

namespace platform {

void ignoreBrokenPipes() {
    std::signal(SIGPIPE, SIG_IGN);
}

} // namespace platform
