// SPDX-License-Identifier: GPL-3.0-or-later
#include "commands/CommandPieces.h"

#include "platform/NumericText.h"

using namespace Qt::Literals::StringLiterals;

namespace commands {

QString withoutTrailingSeparator(const QString& directory, QChar separator) {
    if (directory.endsWith(separator))
        return directory.chopped(1);
    return directory;
}

QString connectionPiece(const QString& utility, const QString& username, const QString& password,
                        const QString& sid) {
    return utility + u' ' + username + u'/' + password + u'@' + sid;
}

QString dumpFilePath(const QString& directory, const QString& fileName, QChar separator) {
    return directory + separator + fileName;
}

QString logFilePath(const QString& directory, const QString& fileName, QChar separator) {
    return dumpFilePath(directory, fileName, separator) + u".log"_s;
}

QString fileAndLogPieces(const QString& directory, const QString& fileName, QChar separator) {
    return u" file="_s + dumpFilePath(directory, fileName, separator) + u" log="_s +
           logFilePath(directory, fileName, separator);
}

QString switchPiece(const char* keyword, bool on) {
    return u' ' + QLatin1StringView(keyword) + (on ? u"=y"_s : u"=n"_s);
}

namespace {

// Only a to z are upper-cased for the comparison. Unicode's upper case would turn a long s, a
// dotless i or an "st" ligature into a keyword's letters, and let a look-alike pass as one.
QString asciiUpper(const QString& text) {
    QString upper = text;
    for (QChar& c : upper) {
        if (c >= u'a' && c <= u'z')
            c = QChar(c.unicode() - u'a' + u'A');
    }
    return upper;
}

} // namespace

QString statisticsPiece(const QString& statistics) {
    // The keyword is written, not the typed text, so the utility gets one of its three values.
    const QString upper = asciiUpper(statistics);
    if (upper == u"ESTIMATE"_s)
        return u" statistics=estimate"_s;
    if (upper == u"COMPUTE"_s)
        return u" statistics=compute"_s;
    return u" statistics=none"_s;
}

QString feedbackPiece(const QString& feedback) {
    const auto value = platform::numericValue(feedback);
    if (value && *value > 0)
        return u" feedback="_s + feedback;
    return {};
}

QString tablesPiece(const QString& tables) {
    if (tables.isEmpty())
        return {};
    return u" tables=(\""_s + tables + u"\")"_s;
}

QString bufferPiece(const QString& buffer) {
    if (buffer.isEmpty())
        return {};
    return u" buffer="_s + buffer;
}

QString otherPiece(const QString& other) {
    if (other.isEmpty())
        return {};
    return u' ' + other;
}

} // namespace commands
