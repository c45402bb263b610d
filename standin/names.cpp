// SPDX-License-Identifier: GPL-3.0-or-later
#include "standin/names.h"

namespace standin {

namespace {

bool isAsciiLetter(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}
bool isAsciiDigit(char c) {
    return c >= '0' && c <= '9';
}
char upperChar(char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

} // namespace

bool isIdentifier(std::string_view text) {
    if (text.empty() || text.size() > maxIdentifierLength || !isAsciiLetter(text.front()))
        return false;
    for (char c : text) {
        if (!isAsciiLetter(c) && !isAsciiDigit(c) && c != '_' && c != '$' && c != '#')
            return false;
    }
    return true;
}

bool isSid(std::string_view text) {
    if (text.empty() || text.size() > maxIdentifierLength)
        return false;
    for (char c : text) {
        if (!isAsciiLetter(c) && !isAsciiDigit(c) && c != '_')
            return false;
    }
    return true;
}

std::string toUpper(std::string_view text) {
    std::string result(text);
    for (char& c : result)
        c = upperChar(c);
    return result;
}

bool equalsIgnoreCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (upperChar(a[i]) != upperChar(b[i]))
            return false;
    }
    return true;
}

std::optional<QualifiedName> parseQualifiedName(std::string_view text) {
    const auto dot = text.find('.');
    std::string_view owner;
    std::string_view name = text;
    if (dot != std::string_view::npos) {
        owner = text.substr(0, dot);
        name = text.substr(dot + 1);
        if (!isIdentifier(owner))
            return std::nullopt;
    }
    if (!isIdentifier(name))
        return std::nullopt;
    return QualifiedName{toUpper(owner), toUpper(name)};
}

std::string quoteIdentifier(std::string_view name) {
    std::string quoted = "\"";
    for (char c : name) {
        quoted += c;
        if (c == '"')
            quoted += '"';
    }
    quoted += '"';
    return quoted;
}

} // namespace standin
