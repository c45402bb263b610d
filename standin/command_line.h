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
// keyword= continues the one before it, joined with one blank.
std::vector<std::string> joinContinuations(const std::vector<std::string>& args);

// args are argv[1..]: the connection "user/password@SID" first, then keyword=value pieces.
// Pure: no I/O, no exit, no exceptions beyond allocation failure, so it can be fuzzed.
ParseOutcome parseCommandLine(const std::vector<std::string>& args, Tool tool);

// The log= path, read even from a command line that fails to parse so a refusal can still be
// logged. Empty when there is none.
std::string findLogPath(const std::vector<std::string>& args);

// The connection with its password replaced, for logs and messages.
std::string maskConnection(std::string_view connection);

} // namespace standin
