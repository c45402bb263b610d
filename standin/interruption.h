// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "standin/options.h"

#include <string>
#include <termios.h>

namespace standin {

// SIGINT, SIGTERM, SIGHUP and SIGQUIT ask the run to stop. The work notices at its next row, its
// next blocked read or write, or within a thousand SQLite steps, and unwinds as for any failure:
// the current table is rolled back, the unfinished dump removed, the log closed with its failure
// line. A second signal stops the process at once, still removing the unfinished dump and putting
// the terminal back as it was.
void catchInterruptions(Tool tool);
bool interrupted();
void throwIfInterrupted(); // throws Failure naming the signal

// What the at-once stop must still do. Paths longer than PATH_MAX are not registered.
void registerPartialFile(const std::string& path);
void forgetPartialFile();
void registerLogDescriptor(int fd);
void registerTerminalToRestore(const termios& settings);
void forgetTerminalToRestore();

} // namespace standin
