#include "standin/dump_records.h"

namespace standin {

namespace {

bool isWordChar(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_';
}
bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

bool isWords(std::string_view text) {
    bool previousBlank = true;
    for (char c : text) {
        if (c == ' ') {
            if (previousBlank)
                return false;
            previousBlank = true;
        } else if (isWordChar(c)) {
            previousBlank = false;
        } else {
            return false;
        }
    }
    return !previousBlank;
}

bool isSizeList(std::string_view text) {
    const auto comma = text.find(',');
    const auto first = text.substr(0, comma);
    const auto second =
        comma == std::string_view::npos ? std::string_view("0") : text.substr(comma + 1);
    auto digits = [](std::string_view part) {
        if (part.empty() || part.size() > 9)
            return false;
        for (char c : part) {
            if (!isDigit(c))
                return false;
        }
        return true;
    };
    return digits(first) && digits(second);
}

} // namespace

bool isSafeTypeName(std::string_view type) {
    if (type.empty())
        return true;
    const auto open = type.find('(');
    if (open == std::string_view::npos)
        return isWords(type);
    if (type.back() != ')' || open == 0)
        return false;
    return isWords(type.substr(0, open)) &&
           isSizeList(type.substr(open + 1, type.size() - open - 2));
}

} // namespace standin
