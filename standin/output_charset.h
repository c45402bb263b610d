// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <iconv.h>
#include <string>
#include <string_view>

namespace standin {

// The character set the utilities speak to the operator in: the one NLS_LANG names after its dot,
// as the database's own clients do. Text stays UTF-8 inside and is converted here, on its way to
// the terminal and the log; a character the set cannot hold, and a byte that is not UTF-8, goes
// out as '?'. Without NLS_LANG, or with a name that the table or the C library does not know,
// text goes out as it is.
class OutputCharset {
public:
    explicit OutputCharset(std::string_view nlsLang);
    ~OutputCharset();
    OutputCharset(const OutputCharset&) = delete;
    OutputCharset& operator=(const OutputCharset&) = delete;

    std::string encode(std::string_view utf8);

private:
    iconv_t converter_;
};

// NLS_LANG as the environment holds it; empty when unset.
std::string nlsLangOfEnvironment();

// The longest prefix of text no longer than maxBytes that does not end inside a UTF-8 character,
// so a message cut to length still converts whole.
std::string_view utf8Prefix(std::string_view text, std::size_t maxBytes);

} // namespace standin
