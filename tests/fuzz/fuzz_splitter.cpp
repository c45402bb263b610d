// SPDX-License-Identifier: GPL-3.0-or-later
// The argument splitter never drops, changes or reorders a character other than a separating
// blank, and never makes an empty argument.
#include "runs/ArgumentSplitter.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size) {
    const QString text =
        QString::fromUtf8(reinterpret_cast<const char*>(bytes), static_cast<qsizetype>(size));
    const QStringList arguments = runs::splitArguments(text);

    QString nonBlank = text;
    nonBlank.remove(QChar(u' '));
    QString joined;
    qsizetype from = 0;
    for (const QString& argument : arguments) {
        if (argument.isEmpty() || argument.startsWith(u' '))
            std::abort();
        // Each argument is a stretch of the text, later than the one before.
        const qsizetype at = text.indexOf(argument, from);
        if (at < 0)
            std::abort();
        from = at + argument.size();
        joined += argument;
    }
    joined.remove(QChar(u' '));
    if (joined != nonBlank)
        std::abort();
    return 0;
}
