// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// Pieces shared by the exp and imp command lines. Every piece but the first starts with one
// blank, so that appending them in order gives a line with single blanks between pieces.
namespace commands {

// The text without one trailing separator, if it ends in one.
QString withoutTrailingSeparator(const QString& directory, QChar separator);

QString connectionPiece(const QString& utility, const QString& username, const QString& password,
                        const QString& sid);
QString fileAndLogPieces(const QString& directory, const QString& fileName, QChar separator);
QString switchPiece(const char* keyword, bool on);
QString statisticsPiece(const QString& statistics);
QString feedbackPiece(const QString& feedback);
QString tablesPiece(const QString& tables);
QString bufferPiece(const QString& buffer);
QString otherPiece(const QString& other);

// The dump file's path, and its log's: the directory, one separator, the file name.
QString dumpFilePath(const QString& directory, const QString& fileName, QChar separator);
QString logFilePath(const QString& directory, const QString& fileName, QChar separator);

} // namespace commands
