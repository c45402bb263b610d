// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "standin/log_writer.h"
#include "standin/options.h"

namespace standin {

// exp's work after its command line parsed: log on read-only, write the dump. Throws Failure.
void runExport(Options& options, LogWriter& log);

} // namespace standin
