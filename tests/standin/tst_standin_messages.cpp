// SPDX-License-Identifier: GPL-3.0-or-later
// The lines the stand-ins write for a problem and at the end of a run: the utilities' message
// codes, the database's message behind its lead, and the utilities' closing lines.
#include "standin/failure.h"
#include "standin/log_writer.h"
#include "standin/messages.h"

#include <QtTest>

#include <sqlite3.h>

using namespace Qt::StringLiterals;
using standin::Tool;

namespace {

QStringList linesOf(const standin::Messages& messages) {
    QStringList lines;
    for (const auto& message : messages)
        lines.append(QString::fromStdString(message.line()));
    return lines;
}

} // namespace

class MessagesTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void closingLines_data();
    void closingLines();
    void sqliteInTheDatabasesTerms_data();
    void sqliteInTheDatabasesTerms();
    void leads_data();
    void leads();
};

void MessagesTest::closingLines_data() {
    QTest::addColumn<bool>("exporting");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("line");
    QTest::newRow("export clean") << true << 0
                                  << u"Export terminated successfully without warnings."_s;
    QTest::newRow("export warned")
        << true << 1 << u"Export terminated successfully with warnings."_s;
    QTest::newRow("export failed") << true << 2 << u"EXP-00000: Export terminated unsuccessfully"_s;
    QTest::newRow("import clean") << false << 0
                                  << u"Import terminated successfully without warnings."_s;
    QTest::newRow("import warned")
        << false << 1 << u"Import terminated successfully with warnings."_s;
    QTest::newRow("import failed")
        << false << 2 << u"IMP-00000: Import terminated unsuccessfully"_s;
}

void MessagesTest::closingLines() {
    QFETCH(bool, exporting);
    QFETCH(int, status);
    QFETCH(QString, line);
    QCOMPARE(QString::fromStdString(
                 standin::closingLine(exporting ? Tool::Export : Tool::Import, status)),
             line);
}

void MessagesTest::sqliteInTheDatabasesTerms_data() {
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("sqliteSays");
    QTest::addColumn<QString>("line");
    const auto row = [](const char* name, int code, const QString& says, const QString& line) {
        QTest::newRow(name) << code << says << line;
    };
    row("unique", SQLITE_CONSTRAINT_UNIQUE, u"UNIQUE constraint failed: T.A"_s,
        u"ORA-00001: unique constraint violated: UNIQUE constraint failed: T.A"_s);
    row("primary key", SQLITE_CONSTRAINT_PRIMARYKEY, u"x"_s,
        u"ORA-00001: unique constraint violated: x"_s);
    row("not null", SQLITE_CONSTRAINT_NOTNULL, u"x"_s, u"ORA-01400: cannot insert NULL: x"_s);
    row("check", SQLITE_CONSTRAINT_CHECK, u"x"_s, u"ORA-02290: check constraint violated: x"_s);
    row("too big", SQLITE_TOOBIG, u"x"_s, u"ORA-12899: value too large for column: x"_s);
    row("disk full", SQLITE_FULL, u"x"_s, u"ORA-01653: unable to extend table: x"_s);
    row("interrupted", SQLITE_INTERRUPT, u"x"_s,
        u"ORA-01013: user requested cancel of current operation: x"_s);
    row("not a database", SQLITE_NOTADB, u"x"_s, u"ORA-01034: ORACLE not available: x"_s);
    row("no such table", SQLITE_ERROR, u"no such table: T"_s,
        u"ORA-00942: table or view does not exist: no such table: T"_s);
    row("no such column", SQLITE_ERROR, u"no such column: C"_s,
        u"ORA-00904: invalid identifier: no such column: C"_s);
    row("index exists", SQLITE_ERROR, u"index I already exists"_s,
        u"ORA-00955: name is already used by an existing object: index I already exists"_s);
    row("anything else", SQLITE_ERROR, u"near \"X\": syntax error"_s,
        u"ORA-00604: error occurred at recursive SQL level 1: near \"X\": syntax error"_s);
    row("disk I/O", SQLITE_IOERR_WRITE, u"disk I/O error"_s,
        u"ORA-00604: error occurred at recursive SQL level 1: disk I/O error"_s);
}

void MessagesTest::sqliteInTheDatabasesTerms() {
    QFETCH(int, code);
    QFETCH(QString, sqliteSays);
    QFETCH(QString, line);
    const standin::DatabaseError error(sqliteSays.toStdString(), code);
    QCOMPARE(linesOf(error.messages()), QStringList{line});
    QCOMPARE(QString::fromStdString(error.detail()), sqliteSays);
}

void MessagesTest::leads_data() {
    QTest::addColumn<bool>("exporting");
    QTest::addColumn<bool>("atLogon");
    QTest::addColumn<QStringList>("lines"); // a database message and what comes before it
    const auto row = [](const char* name, bool exporting, bool atLogon, const QString& lead) {
        QTest::newRow(name) << exporting << atLogon
                            << QStringList{lead + u": ORACLE error 1017 encountered"_s,
                                           u"ORA-01017: invalid username/password; logon "
                                           u"denied: SCOTT@DEMO"_s};
    };
    row("exp logon", true, true, u"EXP-00056"_s);
    row("imp logon", false, true, u"IMP-00058"_s);
    row("exp working", true, false, u"EXP-00008"_s);
    row("imp working", false, false, u"IMP-00003"_s);
}

void MessagesTest::leads() {
    QFETCH(bool, exporting);
    QFETCH(bool, atLogon);
    QFETCH(QStringList, lines);
    const Tool tool = exporting ? Tool::Export : Tool::Import;
    const auto lead =
        atLogon ? standin::messages::logonLead(tool) : standin::messages::statementLead(tool);
    const auto led =
        standin::messages::withLead(lead, {standin::messages::logonDenied("SCOTT@DEMO")});
    QCOMPARE(linesOf(led), lines);
    // A message of the utility's own needs no lead, nor one that has its lead already.
    const standin::Messages own{standin::messages::tableMissing("SCOTT.NOPE")};
    QCOMPARE(linesOf(standin::messages::withLead(lead, own)), linesOf(own));
    QCOMPARE(linesOf(standin::messages::withLead(lead, led)), lines);
}

QTEST_GUILESS_MAIN(MessagesTest)
#include "tst_standin_messages.moc"
