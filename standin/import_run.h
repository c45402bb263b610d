// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "standin/log_writer.h"
#include "standin/options.h"

namespace standin {

// imp's work after its command line parsed: log on, check the dump, load it. Throws Failure.
void runImport(Options& options, LogWriter& log);

} // namespace standin
