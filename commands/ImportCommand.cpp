// SPDX-License-Identifier: GPL-3.0-or-later
#include "commands/ImportCommand.h"

#include "commands/CommandPieces.h"

using namespace Qt::Literals::StringLiterals;

namespace commands {

BuiltCommand CreateImportString(const ImportFields& f, QChar separator) {
    const QString directory = withoutTrailingSeparator(f.directory, separator);
    QString line = connectionPiece(u"imp"_s, f.username, f.password, f.sid);
    line += fileAndLogPieces(directory, f.importFile, separator);
    line += switchPiece("full", f.full);
    line += switchPiece("compile", f.compile);
    line += switchPiece("grants", f.grants);
    line += switchPiece("indexes", f.indexes);
    line += switchPiece("ignore", f.ignore);
    line += switchPiece("commit", f.commit);
    line += statisticsPiece(f.statistics);
    line += feedbackPiece(f.feedback);
    line += switchPiece("rows", f.rows);
    line += tablesPiece(f.tables);
    line += bufferPiece(f.buffer);
    line += otherPiece(f.other);
    return {line, directory};
}

} // namespace commands
