// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include <optional>

namespace platform {

// The program's own process environment. A variable that is absent or empty counts as not set;
// values are read whole, however long, and decoded from the system's 8-bit encoding.
std::optional<QString> environmentValue(const QString& name);

// The value exactly as the system holds it. A path read from the environment is passed on in
// this form, so bytes that the locale's encoding cannot show still name the same file.
std::optional<QByteArray> environmentBytes(const QString& name);
bool isEnvironmentSet(const QString& name);

// Sets a variable for this process and every program it starts later. An empty value removes
// the variable. A name the system refuses (empty, or holding '=') changes nothing: false.
bool setEnvironmentValue(const QString& name, const QString& value);

} // namespace platform
