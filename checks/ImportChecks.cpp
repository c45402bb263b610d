// SPDX-License-Identifier: GPL-3.0-or-later
#include "checks/ImportChecks.h"

#include "checks/CheckMessages.h"
#include "checks/DumpFileNaming.h"
#include "commands/CommandPieces.h"
#include "platform/Environment.h"
#include "runs/MessageDisplay.h"

using namespace Qt::Literals::StringLiterals;

namespace {

bool refuse(const QString& message) {
    return ErrorDisplay(u"Import"_s, message) != 0;
}

} // namespace

bool CheckImportFields(const ImportFields& f, QChar separator) {
    namespace m = checks::messages;
    if (const auto missing =
            checks::firstEmptyField({{f.sid, m::sid()},
                                     {f.username, m::username()},
                                     {f.password, m::password()},
                                     {f.directory, m::directory()},
                                     {f.importFile, u"Please enter a Filename"_s}}))
        return refuse(*missing);
    if (f.importFile.contains(u' '))
        return refuse(m::blankInFileName());
    if (!DoesFileExist(commands::dumpFilePath(f.directory, f.importFile, separator)))
        return refuse(u"The Import File does not exist"_s);
    if (f.tables.contains(u' '))
        return refuse(m::blankInTables());
    if (!platform::isEnvironmentSet(u"ORA_HOME"_s))
        return refuse(m::oraHomeNotSet());
    if (!platform::isEnvironmentSet(u"NLS_LANG"_s))
        return refuse(m::nlsLangNotSet());
    return true;
}
