// SPDX-License-Identifier: GPL-3.0-or-later
#include "commands/ExportCommand.h"

#include "commands/CommandPieces.h"

using namespace Qt::Literals::StringLiterals;

namespace commands {

BuiltCommand CreateExportString(const ExportFields& f, QChar separator) {
    const QString directory = withoutTrailingSeparator(f.directory, separator);
    QString line = connectionPiece(u"exp"_s, f.username, f.password, f.sid);
    line += fileAndLogPieces(directory, f.exportFile, separator);
    line += switchPiece("full", f.full);
    line += switchPiece("direct", f.direct);
    line += switchPiece("grants", f.grants);
    line += switchPiece("indexes", f.indexes);
    line += switchPiece("consistent", f.consistent);
    line += switchPiece("compress", f.compress);
    line += statisticsPiece(f.statistics);
    line += feedbackPiece(f.feedback);
    line += switchPiece("rows", f.rows);
    line += tablesPiece(f.tables);
    line += bufferPiece(f.buffer);
    if (!f.query.isEmpty())
        line += u" query=\""_s + f.query + u'"';
    line += otherPiece(f.other);
    return {line, directory};
}

} // namespace commands
