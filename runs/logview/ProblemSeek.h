// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "runs/logview/ProblemMarks.h"

namespace platform {
class ReadOnlyFile;
}

namespace runs::logview {

// Where F8 and Shift+F8 go from a place in the log: the start of the next problem line at or
// after it, or of the last one before it, round the log's end when there is none that way. The
// marks give the answer outright, but in the place's own bucket, whose lines between its first
// and its last problem are read from the file: a bounded read, a bucket's share of the log.
struct ProblemFound {
    enum class Result {
        Found,
        Wrapped, // found by going round the log's end
        None,    // no problem line in the whole log
        Waiting, // none that way in what is indexed so far: the rest may hold one
    };
    Result result = Result::None;
    qint64 offset = -1; // the problem line's first byte
};

// `offset` is a byte of the file and `piece` the piece that holds it; `wholeLog` says whether the
// marks cover the whole log or only what is indexed of it so far.
ProblemFound seekProblem(const platform::ReadOnlyFile& file, const ProblemMarks& marks,
                         qint64 piece, qint64 offset, bool backward, bool wholeLog);

} // namespace runs::logview
