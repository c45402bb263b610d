// SPDX-License-Identifier: GPL-3.0-or-later
#include "standin/tool_main.h"

#include "standin/command_line.h"
#include "standin/failure.h"
#include "standin/interruption.h"
#include "standin/oracle_home.h"
#include "standin/output_paths.h"
#include "standin/parameter_report.h"
#include "standin/process_setup.h"

#include <ctime>
#include <unistd.h>

namespace standin {

namespace {

std::string localNow() {
    const std::time_t now = std::time(nullptr);
    std::tm parts{};
    localtime_r(&now, &parts);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &parts);
    return text;
}

// The error line itself may be the first to find the log file broken; then that is reported too.
// A database message stands behind its lead, as the utilities report one.
void reportError(LogWriter& log, const Messages& messages) {
    try {
        log.error(messages::withLead(messages::statementLead(log.tool()), messages));
    } catch (const LogFailure& broken) {
        log.error(broken.messages());
    }
}

// Once the command line and every path it names have passed, and before the logon: from here
// on every refusal is this run's and lands in its log, so the log never shows an older run's.
void openLog(const Options& options, LogWriter& log) {
    if (!options.log.empty())
        log.attachFile(openLogFile(options, oracleHome() / "oradata"), options.log);
}

} // namespace

int toolMain(const std::vector<std::string>& args, Tool tool, void (*run)(Options&, LogWriter&)) {
    prepareProcess();
    catchInterruptions(tool);
    LogWriter log(tool);
    try {
        auto parsed = parseCommandLine(args, tool);
        log.line(std::string("Tarnhold ") + toolName(tool) + " (stand-in), started " + localNow() +
                 ", pid " + std::to_string(::getpid()) + ".");
        if (!parsed.options) {
            log.line("Arguments: " + describeRefusedArguments(args));
            log.error(messages::parameters(tool, parsed.error));
            return log.finish();
        }
        log.line("Parameters:");
        for (const auto& line : describeParameters(*parsed.options))
            log.line("  " + line);
        if (auto refusal = fileRefusal(*parsed.options, oracleHome() / "oradata"))
            throw Failure(*refusal);
        openLog(*parsed.options, log);
        run(*parsed.options, log);
    } catch (const Failure& failure) {
        reportError(log, failure.messages());
    } catch (const std::exception& unexpected) {
        reportError(log, {messages::internalError(unexpected.what())});
    }
    return log.finish();
}

} // namespace standin
