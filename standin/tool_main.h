#pragma once

#include "standin/log_writer.h"
#include "standin/options.h"

#include <string>
#include <vector>

namespace standin {

// What exp and imp share around their work: parse, open the log, report the parameters, run,
// turn what happened into the closing line and the exit status (0, 1 or 2).
int toolMain(const std::vector<std::string>& args, Tool tool,
             void (*run)(const Options&, LogWriter&));

} // namespace standin
