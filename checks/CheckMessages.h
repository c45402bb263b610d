// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include <initializer_list>
#include <optional>
#include <utility>

// Refusal texts shared by the export and import checks, exactly as the operator sees them.
namespace checks::messages {

inline QString sid() {
    return QStringLiteral("Please enter a SID");
}
inline QString username() {
    return QStringLiteral("Please enter a Username");
}
inline QString password() {
    return QStringLiteral("Please enter a Password");
}
inline QString directory() {
    return QStringLiteral("Please enter a Directory");
}
inline QString blankInFileName() {
    return QStringLiteral(
        "Please remove the space and other chars as !\"#\u00A4%/ from the filename");
}
inline QString blankInTables() {
    return QStringLiteral(
        "Please remove any spaces from the tables field, spaces are not allowed in tablenames");
}
inline QString oraHomeNotSet() {
    return QStringLiteral("Your ORA_HOME environment variable is not set - please set this via "
                          "the [View/Set ORA Parameters] button on permanently in the Control "
                          "Panel!!");
}
inline QString nlsLangNotSet() {
    return QStringLiteral("Your NLS_LANG environment variable is not set  - please set this via "
                          "the [View/Set ORA Parameters] button on permanently in the Control "
                          "Panel!!");
}

} // namespace checks::messages

namespace checks {

// The message of the first field, in the order given, whose text is empty.
inline std::optional<QString>
firstEmptyField(std::initializer_list<std::pair<const QString&, QString>> fields) {
    for (const auto& [value, message] : fields) {
        if (value.isEmpty())
            return message;
    }
    return std::nullopt;
}

} // namespace checks
