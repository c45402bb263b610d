#include "standin/tool_main.h"

#include "standin/command_line.h"
#include "standin/failure.h"
#include "standin/names.h"
#include "standin/parameter_report.h"

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

std::string replaceAll(std::string text, const std::string& from, std::string_view to) {
    for (auto at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
        text.replace(at, from.size(), to);
    return text;
}

// The command line as given, for a refusal, without the password even where the operator typed
// it again in the free text.
std::string maskedArguments(const std::vector<std::string>& args) {
    std::string password;
    if (!args.empty()) {
        const auto slash = args[0].find('/');
        const auto at = args[0].rfind('@');
        if (slash != std::string::npos && at != std::string::npos && at > slash + 1)
            password = args[0].substr(slash + 1, at - slash - 1);
    }
    std::string text;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const bool connection = i == 0 || equalsIgnoreCase(args[i].substr(0, 7), "userid=");
        if (i > 0)
            text += ' ';
        if (connection)
            text += maskConnection(args[i]);
        else
            text += password.empty() ? args[i] : replaceAll(args[i], password, "********");
    }
    return text;
}

} // namespace

int toolMain(const std::vector<std::string>& args, Tool tool,
             void (*run)(const Options&, LogWriter&)) {
    const auto parsed = parseCommandLine(args, tool);
    const auto logPath = parsed.options ? parsed.options->log : findLogPath(args);

    LogWriter log;
    if (!logPath.empty()) {
        if (auto problem = log.open(logPath); !problem.empty()) {
            log.error(problem);
            return log.finish(tool);
        }
    }
    log.line(std::string("Tarnhold ") + toolName(tool) + " (stand-in), started " + localNow() +
             ", pid " + std::to_string(::getpid()) + ".");
    if (!parsed.options) {
        log.line("Arguments: " + maskedArguments(args));
        log.error(parsed.error);
        return log.finish(tool);
    }
    log.line("Parameters:");
    for (const auto& line : describeParameters(*parsed.options))
        log.line("  " + line);
    try {
        run(*parsed.options, log);
    } catch (const Failure& failure) {
        log.error(failure.what());
    } catch (const std::exception& unexpected) {
        log.error(std::string("unexpected error: ") + unexpected.what());
    }
    return log.finish(tool);
}

} // namespace standin
