#include "runs/UtilityLaunch.h"

#include "platform/Process.h"
#include "runs/ArgumentSplitter.h"

using namespace Qt::Literals::StringLiterals;

namespace runs {

namespace {

QStringView firstWord(const QString& commandLine) {
    const qsizetype blank = commandLine.indexOf(u' ');
    return blank < 0 ? QStringView(commandLine) : QStringView(commandLine).first(blank);
}

QStringView afterFirstWord(const QString& commandLine) {
    const qsizetype blank = commandLine.indexOf(u' ');
    return blank < 0 ? QStringView() : QStringView(commandLine).sliced(blank + 1);
}

} // namespace

QString utilityProgramPath(const QString& oraHome, const QString& commandLine, QChar separator) {
    return oraHome + separator + u"bin"_s + separator + firstWord(commandLine);
}

std::optional<LaunchFailure> launchAndWait(const QString& oraHome, const QString& commandLine,
                                           QChar separator) {
    const auto started = platform::startProcess(utilityProgramPath(oraHome, commandLine, separator),
                                                splitArguments(afterFirstWord(commandLine)));
    if (started.failure != 0)
        return LaunchFailure{started.failure, started.description};
    WaitForProcess(started.processId, -1);
    return std::nullopt;
}

void WaitForProcess(qint64 TaskId, int msecs) {
    platform::waitForProcess(TaskId, msecs);
}

} // namespace runs
