// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "standin/options.h"

#include <string>
#include <vector>

namespace standin {

// The parameters in effect, one "keyword=value" per line, the password masked. Only the keywords
// the tool takes are listed.
std::vector<std::string> describeParameters(const Options& options);

} // namespace standin
