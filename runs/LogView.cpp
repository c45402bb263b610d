#include "runs/LogView.h"

#include "platform/Files.h"
#include "runs/MessageDisplay.h"

using namespace Qt::Literals::StringLiterals;

namespace runs {

std::optional<QString> readLog(const LogRequest& request) {
    auto text = platform::readText8Bit(request.path);
    if (!text)
        ErrorDisplay(u"Log View"_s, request.messageStart + request.path + u" could not be found"_s);
    return text;
}

} // namespace runs
