// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace standin {

// Makes write errors ordinary errors: a closed pipe on stdout or stderr (SIGPIPE) and a file size
// limit (SIGXFSZ) no longer kill the process, so the work can report them and clean up. Closed
// standard descriptors are filled with broken pipes first, so no file the work opens later
// (the log, the dump, a database) can take descriptor 1 or 2 and receive terminal output.
void prepareProcess();

} // namespace standin
