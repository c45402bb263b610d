// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace standin {

// Names of users, tables, columns and indexes follow Oracle's unquoted identifiers: a letter, then
// letters, digits, '_', '$' or '#'. They are stored upper case, so the SQLite name "OWNER.TABLE"
// splits unambiguously at its only dot.
inline constexpr std::size_t maxIdentifierLength = 128;

bool isIdentifier(std::string_view text);
bool isSid(std::string_view text);
std::string toUpper(std::string_view text);
bool equalsIgnoreCase(std::string_view a, std::string_view b);

struct QualifiedName {
    std::string owner; // empty when the operator named the table without its schema
    std::string name;

    std::string storageName() const { return owner + '.' + name; }
    bool operator==(const QualifiedName&) const = default;
};

// Accepts "NAME" or "OWNER.NAME" in any case; returns the upper-case form.
std::optional<QualifiedName> parseQualifiedName(std::string_view text);

// A double-quoted SQL identifier, for names that were already checked against the catalogue.
std::string quoteIdentifier(std::string_view name);

} // namespace standin
