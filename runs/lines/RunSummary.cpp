// SPDX-License-Identifier: GPL-3.0-or-later
#include "runs/lines/RunSummary.h"

namespace runs::lines {

namespace {

std::string problemCount(std::size_t problems) {
    if (problems == 0)
        return "no problems";
    return std::to_string(problems) + (problems == 1 ? " problem" : " problems");
}

std::string outcomeText(Outcome outcome) {
    switch (outcome) {
    case Outcome::Succeeded:
        return "terminated successfully without warnings";
    case Outcome::SucceededWithWarnings:
        return "terminated successfully with warnings";
    case Outcome::Failed:
        break;
    }
    return "terminated unsuccessfully";
}

} // namespace

std::string summaryText(const RunTally& tally) {
    std::string text = "No closing line";
    if (tally.closing) {
        text = tally.closing->utility == Utility::Import ? "Import " : "Export ";
        text += outcomeText(tally.closing->outcome);
    }
    text += " \u2014 " + problemCount(tally.problems);
    if (tally.problems > 0)
        text += " (F8)";
    return text;
}

std::string readingSummaryText(const RunTally& tally) {
    std::string text = "Reading the log \u2014 " + problemCount(tally.problems) + " so far";
    if (tally.problems > 0)
        text += " (F8)";
    return text;
}

std::string endLineTail(const RunTally& tally) {
    std::string text = tally.closing ? outcomeText(tally.closing->outcome) : std::string();
    if (tally.problems > 0)
        text += (text.empty() ? "" : ", ") + problemCount(tally.problems);
    return text;
}

} // namespace runs::lines
