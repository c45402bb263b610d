#pragma once

#include <string>

namespace standin {

// While armed, SIGINT, SIGTERM and SIGHUP remove the half-written dump, close the log with a
// failure line and end the process with status 2. SIGKILL cannot be caught; the final name is
// still safe then because the dump only gets it once complete.
void removeOnInterrupt(const std::string& temporaryPath, int logFd);
void disarmInterruptCleanup();

} // namespace standin
