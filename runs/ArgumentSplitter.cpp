// SPDX-License-Identifier: GPL-3.0-or-later
#include "runs/ArgumentSplitter.h"

namespace runs {

QStringList splitArguments(QStringView text) {
    QStringList arguments;
    QString current;
    bool inQuotes = false;
    bool pending = false;
    for (const QChar c : text) {
        if (c == u' ' && !inQuotes) {
            if (pending)
                arguments.append(std::exchange(current, {}));
            pending = false;
            continue;
        }
        if (c == u'"')
            inQuotes = !inQuotes;
        current.append(c);
        pending = true;
    }
    if (pending)
        arguments.append(current);
    return arguments;
}

} // namespace runs
