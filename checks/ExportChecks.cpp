// SPDX-License-Identifier: GPL-3.0-or-later
#include "checks/ExportChecks.h"

#include "checks/CheckMessages.h"
#include "platform/Environment.h"
#include "platform/NumericText.h"
#include "runs/MessageDisplay.h"

using namespace Qt::Literals::StringLiterals;

namespace {

bool refuse(const QString& message) {
    return ErrorDisplay(u"Export"_s, message) != 0;
}

} // namespace

bool CheckExportFields(const ExportFields& f) {
    namespace m = checks::messages;
    const auto missing = checks::firstEmptyField({{f.sid, m::sid()},
                                                  {f.username, m::username()},
                                                  {f.password, m::password()},
                                                  {f.directory, m::directory()},
                                                  {f.exportFile, u"Please enter Filename"_s}});
    bool result = missing ? refuse(*missing) : true;
    if (result) {
        // Both conflicts are reported, the query first.
        if (!f.query.isEmpty() && f.direct)
            result = refuse(u"If You are exporting via a Query, the Export cant be Direct"_s);
        if (!f.tables.isEmpty() && f.full)
            result = refuse(u"If You are exporting tables, the Export cant be Full"_s);
    }
    if (result && !f.buffer.isEmpty() && !platform::isNumericText(f.buffer))
        result = refuse(u"Buffer must be a number"_s);
    if (result && f.exportFile.contains(u' '))
        result = refuse(m::blankInFileName());
    if (result && f.tables.contains(u' '))
        result = refuse(m::blankInTables());
    if (result && !platform::isEnvironmentSet(u"ORA_HOME"_s))
        result = refuse(m::oraHomeNotSet());
    if (result && !platform::isEnvironmentSet(u"NLS_LANG"_s))
        result = refuse(m::nlsLangNotSet());
    return result;
}
