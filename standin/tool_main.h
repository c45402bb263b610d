// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "standin/log_writer.h"
#include "standin/options.h"

#include <string>
#include <vector>

namespace standin {

// What exp and imp share around their work: parse, check the files the options name, report
// the parameters, open the log, run, turn what happened into the closing line and the exit status
// (0, 1 or 2). A refusal of the command line or of a path goes to stderr only; from the logon on,
// everything goes to the log too.
int toolMain(const std::vector<std::string>& args, Tool tool, void (*run)(Options&, LogWriter&));

} // namespace standin
