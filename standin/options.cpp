// SPDX-License-Identifier: GPL-3.0-or-later
#include "standin/options.h"

namespace standin {

const char* toolName(Tool tool) {
    return tool == Tool::Export ? "exp" : "imp";
}

const char* statisticsName(Statistics statistics) {
    switch (statistics) {
    case Statistics::Estimate:
        return "estimate";
    case Statistics::Compute:
        return "compute";
    case Statistics::None:
        return "none";
    }
    return "?";
}

} // namespace standin
