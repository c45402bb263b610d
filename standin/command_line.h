// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "standin/options.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace standin {

struct ParseOutcome {
    std::optional<Options> options;
    std::string error; // set when options is empty
};

// Tarnhold splits its command line at every blank outside double quotes, so a value holding a
// blank (a folder name, a password) arrives in pieces: a piece that does not start with
// keyword= continues the one before it, joined with one blank. The connection goes on up to the
// first piece that starts with one of the utilities' own keywords, since a password may hold
// "word=" after a blank.
std::vector<std::string> joinContinuations(const std::vector<std::string>& args);

// args are argv[1..]: the connection "user/password@SID" first, then keyword=value pieces.
// Pure: no I/O, no exit, no exceptions beyond allocation failure, so it can be fuzzed.
ParseOutcome parseCommandLine(const std::vector<std::string>& args, Tool tool);

// A command line that failed to parse, as one text for the refusal, never showing the password:
// masked in the connection and wherever it appears again, and when the connection has no @SID
// (so the password's end is unknown) nothing after the user name.
std::string describeRefusedArguments(const std::vector<std::string>& args);

// The connection with its password replaced, for logs and messages.
std::string maskConnection(std::string_view connection);

} // namespace standin
