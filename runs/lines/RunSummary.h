// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "runs/lines/LineClass.h"

#include <cstddef>
#include <optional>
#include <string>

// What a run came to, told from its lines: the console's end line and the log window's summary
// say it in the same words. Standard C++ only; the texts are UTF-8.
namespace runs::lines {

// The problem lines seen so far and the last closing line among them.
struct RunTally {
    std::size_t problems = 0;
    std::optional<LineClass> closing; // kind Closing when set

    void add(const LineClass& line) {
        if (line.isProblem())
            ++problems;
        else if (line.kind == LineKind::Closing)
            closing = line;
    }
    friend bool operator==(const RunTally&, const RunTally&) = default;
};

// The log window's summary line:
//   "Export terminated successfully with warnings — 3 problems (F8)"
//   "Import terminated successfully without warnings — no problems"
//   "No closing line — 1 problem (F8)"           (the run is still going, or was cut short)
// "(F8)" is there only when there is a problem to go to.
std::string summaryText(const RunTally& tally);

// The same while the log is still being read, its closing line not reached yet:
//   "Reading the log — 3 problems so far (F8)"
std::string readingSummaryText(const RunTally& tally);

// What the console's end line says after the exit status, empty when there is nothing to add:
//   "terminated successfully with warnings, 3 problems"
//   "terminated successfully without warnings"    (no problem lines: nothing to count)
//   "terminated unsuccessfully, 1 problem"
//   "2 problems"                                  (problems, but no closing line)
std::string endLineTail(const RunTally& tally);

} // namespace runs::lines
