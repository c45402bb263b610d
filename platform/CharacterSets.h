// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// No Qt here: the stand-in utilities read the same table.

#include <array>
#include <string_view>

namespace platform {

// A database character set and the name its encoding goes by in decoders: ICU's for Qt, and the
// C library's iconv where that differs.
struct CharacterSet {
    std::string_view database;
    std::string_view encoding;
    std::string_view iconvName;
};

inline constexpr std::array<CharacterSet, 30> CharacterSets{{
    {"AL32UTF8", "UTF-8", "UTF-8"},
    {"UTF8", "UTF-8", "UTF-8"},
    {"US7ASCII", "US-ASCII", "ASCII"},
    {"WE8ISO8859P1", "ISO-8859-1", "ISO-8859-1"},
    {"WE8ISO8859P15", "ISO-8859-15", "ISO-8859-15"},
    {"EE8ISO8859P2", "ISO-8859-2", "ISO-8859-2"},
    {"CL8ISO8859P5", "ISO-8859-5", "ISO-8859-5"},
    {"EL8ISO8859P7", "ISO-8859-7", "ISO-8859-7"},
    {"WE8MSWIN1252", "windows-1252", "WINDOWS-1252"},
    {"EE8MSWIN1250", "windows-1250", "WINDOWS-1250"},
    {"CL8MSWIN1251", "windows-1251", "WINDOWS-1251"},
    {"EL8MSWIN1253", "windows-1253", "WINDOWS-1253"},
    {"TR8MSWIN1254", "windows-1254", "WINDOWS-1254"},
    {"IW8MSWIN1255", "windows-1255", "WINDOWS-1255"},
    {"AR8MSWIN1256", "windows-1256", "WINDOWS-1256"},
    {"BLT8MSWIN1257", "windows-1257", "WINDOWS-1257"},
    {"VN8MSWIN1258", "windows-1258", "WINDOWS-1258"},
    {"WE8PC850", "IBM850", "IBM850"},
    {"CL8KOI8R", "KOI8-R", "KOI8-R"},
    {"JA16SJIS", "Shift_JIS", "SHIFT_JIS"},
    {"JA16SJISTILDE", "Shift_JIS", "SHIFT_JIS"},
    {"JA16EUC", "EUC-JP", "EUC-JP"},
    {"JA16EUCTILDE", "EUC-JP", "EUC-JP"},
    {"ZHS16GBK", "GBK", "GBK"},
    {"ZHS32GB18030", "GB18030", "GB18030"},
    {"ZHT16BIG5", "Big5", "BIG5"},
    {"ZHT16MSWIN950", "Big5", "BIG5"},
    {"KO16MSWIN949", "windows-949", "CP949"},
    {"KO16KSC5601", "EUC-KR", "EUC-KR"},
    {"TH8TISASCII", "TIS-620", "TIS-620"},
}};

constexpr bool sameLetters(std::string_view a, std::string_view b) {
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; };
        if (lower(a[i]) != lower(b[i]))
            return false;
    }
    return true;
}

// The character set that an NLS_LANG value (language_territory.charset) names after its dot,
// found in the table whatever its letters' case; null when there is no dot or the name is not
// in the table.
constexpr const CharacterSet* characterSetOfNlsLang(std::string_view nlsLang) {
    const auto dot = nlsLang.rfind('.');
    if (dot == std::string_view::npos)
        return nullptr;
    const std::string_view name = nlsLang.substr(dot + 1);
    for (const CharacterSet& set : CharacterSets) {
        if (sameLetters(set.database, name))
            return &set;
    }
    return nullptr;
}

} // namespace platform
