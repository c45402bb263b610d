// SPDX-License-Identifier: GPL-3.0-or-later
#include "runs/LogView.h"

#include "platform/ReadOnlyFile.h"
#include "runs/MessageDisplay.h"

using namespace Qt::Literals::StringLiterals;

namespace runs {

std::shared_ptr<platform::ReadOnlyFile> openLog(const LogRequest& request) {
    auto file = platform::ReadOnlyFile::open(request.path);
    if (!file)
        ErrorDisplay(u"Log View"_s, request.messageStart + request.path + u" could not be found"_s);
    return file;
}

} // namespace runs
