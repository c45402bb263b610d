// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/Environment.h"

#include <cstdlib>

namespace platform {

std::optional<QByteArray> environmentBytes(const QString& name) {
    const QByteArray key = name.toLocal8Bit();
    if (key.isEmpty() || key.contains('\0'))
        return std::nullopt;
    const char* value = std::getenv(key.constData());
    if (value == nullptr || *value == '\0')
        return std::nullopt;
    return QByteArray(value);
}

std::optional<QString> environmentValue(const QString& name) {
    const auto bytes = environmentBytes(name);
    if (!bytes)
        return std::nullopt;
    return QString::fromLocal8Bit(*bytes);
}

bool isEnvironmentSet(const QString& name) {
    return environmentValue(name).has_value();
}

bool setEnvironmentValue(const QString& name, const QString& value) {
    const QByteArray key = name.toLocal8Bit();
    const QByteArray bytes = value.toLocal8Bit();
    // setenv would stop at an embedded NUL and set something other than what was typed.
    if (key.isEmpty() || key.contains('=') || key.contains('\0') || bytes.contains('\0'))
        return false;
    if (bytes.isEmpty())
        return ::unsetenv(key.constData()) == 0;
    return ::setenv(key.constData(), bytes.constData(), 1) == 0;
}

} // namespace platform
