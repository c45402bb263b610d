// SPDX-License-Identifier: GPL-3.0-or-later
#include "runs/console/TerminalKeys.h"

namespace runs::console {

QByteArray terminalBytes(int key, Qt::KeyboardModifiers modifiers, const QString& text,
                         QStringEncoder& encoding) {
    switch (key) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return QByteArrayLiteral("\r");
    case Qt::Key_Backspace:
        return QByteArrayLiteral("\x7f");
    case Qt::Key_Tab:
        return QByteArrayLiteral("\t");
    case Qt::Key_Escape:
        return QByteArrayLiteral("\x1b");
    default:
        break;
    }
    if (modifiers.testFlag(Qt::ControlModifier)) {
        if (key >= Qt::Key_A && key <= Qt::Key_Z)
            return QByteArray(1, static_cast<char>(key - Qt::Key_A + 1));
        return {};
    }
    for (const QChar c : text) {
        if (!c.isPrint() && !c.isSurrogate())
            return {};
    }
    return encoding.encode(text);
}

} // namespace runs::console
