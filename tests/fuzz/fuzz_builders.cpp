// SPDX-License-Identifier: GPL-3.0-or-later
// The command lines: the fixed start, the separator rule for the directory, and the order of
// the generated pieces hold whatever the fields contain.
#include "FuzzFields.h"
#include "commands/ExportCommand.h"
#include "commands/ImportCommand.h"

#include <QRegularExpression>

#include <cstdlib>

using namespace Qt::Literals::StringLiterals;

namespace {

void require(bool condition) {
    if (!condition)
        std::abort();
}

// Everything up to the log piece is the fields' text in a fixed frame.
QString fixedStart(const char* utility, const QString& user, const QString& password,
                   const QString& sid, const QString& directory, const QString& file, QChar sep) {
    return QLatin1StringView(utility) + u' ' + user + u'/' + password + u'@' + sid + u" file="_s +
           directory + sep + file + u" log="_s + directory + sep + file + u".log"_s;
}

void checkDirectory(const QString& typed, const QString& used, QChar sep) {
    require(used == typed || (typed.endsWith(sep) && used == typed.chopped(1)));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size) {
    FuzzedDataProvider data(bytes, size);
    const QChar sep = data.ConsumeBool() ? u'\\' : u'/';
    const ExportFields e = fuzzExportFields(data);
    const ImportFields i = fuzzImportFields(data);

    static const QRegularExpression exportSwitches(
        uR"(^ full=[yn] direct=[yn] grants=[yn] indexes=[yn] consistent=[yn] compress=[yn])"
        uR"( statistics=(estimate|compute|none)( feedback=.*)? rows=[yn])"_s,
        QRegularExpression::DotMatchesEverythingOption);
    static const QRegularExpression importSwitches(
        uR"(^ full=[yn] compile=[yn] grants=[yn] indexes=[yn] ignore=[yn] commit=[yn])"
        uR"( statistics=(estimate|compute|none)( feedback=.*)? rows=[yn])"_s,
        QRegularExpression::DotMatchesEverythingOption);

    const auto exported = commands::CreateExportString(e, sep);
    checkDirectory(e.directory, exported.directory, sep);
    const QString exportStart =
        fixedStart("exp", e.username, e.password, e.sid, exported.directory, e.exportFile, sep);
    require(exported.line.startsWith(exportStart));
    require(exportSwitches.match(exported.line.mid(exportStart.size())).hasMatch());
    if (!e.other.isEmpty())
        require(exported.line.endsWith(u' ' + e.other));

    const auto imported = commands::CreateImportString(i, sep);
    checkDirectory(i.directory, imported.directory, sep);
    const QString importStart =
        fixedStart("imp", i.username, i.password, i.sid, imported.directory, i.importFile, sep);
    require(imported.line.startsWith(importStart));
    require(importSwitches.match(imported.line.mid(importStart.size())).hasMatch());
    if (!i.other.isEmpty())
        require(imported.line.endsWith(u' ' + i.other));
    return 0;
}
