#pragma once

#include "standin/log_writer.h"
#include "standin/options.h"

#include <string>
#include <vector>

namespace standin {

// What exp and imp share around their work: parse, check the files the options name, report
// the parameters, run, turn what happened into the closing line and the exit status (0, 1 or 2).
// The work opens the log with openLog() once its own checks have passed; a refusal before that
// goes to stderr only.
int toolMain(const std::vector<std::string>& args, Tool tool, void (*run)(Options&, LogWriter&));

// Attaches log= to the log writer, if the options name one. Throws Failure.
void openLog(const Options& options, LogWriter& log);

} // namespace standin
