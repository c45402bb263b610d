// SPDX-License-Identifier: GPL-3.0-or-later
#include "standin_home.h"

#include <QtTest>

#include <algorithm>

#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

// Hostile arguments against a home that holds, besides its databases, an earlier dump and log, a
// read-only dump, a pipe, a folder, links and (when the system lets us make one) a device node.
// Every refusal happens before the dump or a database is opened for writing: status 2, the reason
// on stderr, no dump, no partial file, and every node of the home exactly as it was, except the
// log. A refused command line or path leaves the log alone too; any later refusal (the logon, the
// tables, query=, the dump read) replaces the earlier log with this run's, ending in its refusal.
class RefusalsTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void refused_data();
    void refused();
    void warned_data();
    void warned();

private:
    std::unique_ptr<StandinHome> home_;
    QString goodDump_;
};

namespace {

bool makeNullDevice(const QString& path) {
    return ::mknod(QFile::encodeName(path).constData(), S_IFCHR | 0666, makedev(1, 3)) == 0;
}

} // namespace

void RefusalsTest::initTestCase() {
    home_ = std::make_unique<StandinHome>();
    QVERIFY(home_->isValid());
    goodDump_ = home_->path(u"good.dump"_s);
    QCOMPARE(home_->exp({u"scott/tiger@DEMO"_s, u"file="_s + goodDump_, u"tables=(DEPT,EMP)"_s})
                 .exitCode,
             0);
    // TEST gets SCOTT.DEPT, so importing it again under ignore=n meets an existing table.
    QCOMPARE(home_->imp({u"scott/tiger@TEST"_s, u"file="_s + goodDump_, u"tables=DEPT"_s}).exitCode,
             0);

    auto write = [&](const QString& name, const QByteArray& bytes) {
        QFile file(home_->path(name));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    };
    write(u"notes.txt"_s, "TABLE SCOTT.EMP\nthis is not an export\n");
    write(u"newer.dump"_s, fileBytes(goodDump_).replace("TARNHOLD-DUMP 1\n", "TARNHOLD-DUMP 7\n"));
    write(u"earlier.log"_s, "an earlier log\n");
    write(u"readonly.dump"_s, fileBytes(goodDump_));
    QVERIFY(QFile::setPermissions(home_->path(u"readonly.dump"_s), QFile::ReadOwner));
    const auto encoded = [&](const QString& name) { return QFile::encodeName(home_->path(name)); };
    QCOMPARE(::mkfifo(encoded(u"pipe"_s).constData(), 0666), 0);
    QVERIFY(QDir(home_->path(QString())).mkpath(u"folder"_s));
    QVERIFY(QDir(home_->path(QString())).mkpath(u"oradata/FOLDER.db"_s));
    QVERIFY(QFile::link(home_->database(u"DEMO"_s), home_->path(u"link-to-demo"_s)));
    QVERIFY(QFile::link(home_->path(u"nowhere"_s), home_->path(u"oradata/BROKEN.db"_s)));
    makeNullDevice(home_->path(u"null-device"_s)); // a row below needs it; skipped without
}

void RefusalsTest::refused_data() {
    QTest::addColumn<QString>("tool");
    QTest::addColumn<QStringList>("args"); // "@dump", "@dir/" and "@ora/" are replaced
    QTest::addColumn<QString>("code");     // the message code of the line that says why
    QTest::addColumn<QString>("reason");
    QTest::addColumn<QString>("secret"); // never on stderr
    QTest::addColumn<bool>("logged");    // whether log= gets this run's log

    const auto exp = u"exp"_s;
    const auto imp = u"imp"_s;
    const auto scott = u"scott/tiger@DEMO"_s;
    const auto out = u"file=@dir/out.dump"_s;
    const auto log = u"log=@dir/earlier.log"_s;
    auto add = [&](const char* name, const QString& tool, const QStringList& args,
                   const QString& code, const QString& reason, const QString& secret = u"tiger"_s) {
        QTest::newRow(name) << tool << args << code << reason << secret << false;
    };
    auto logged = [&](const char* name, const QString& tool, const QStringList& args,
                      const QString& code, const QString& reason,
                      const QString& secret = u"tiger"_s) {
        QTest::newRow(name) << tool << args << code << reason << secret << true;
    };

    logged("exp wrong password", exp, {u"scott/lion@DEMO"_s, out, log}, u"ORA-01017"_s,
           u"invalid username/password; logon denied"_s, u"lion"_s);
    logged("exp unknown user", exp, {u"nobody/tiger@DEMO"_s, out, log}, u"ORA-01017"_s,
           u"invalid username/password; logon denied"_s);
    logged("exp unknown SID", exp, {u"scott/tiger@NOPE"_s, out, log}, u"ORA-12154"_s,
           u"unknown SID \"NOPE\""_s);
    logged("exp SID as path", exp, {u"scott/tiger@../oradata/DEMO"_s, out, log}, u"ORA-12154"_s,
           u"unknown SID"_s);
    logged("exp SID with suffix", exp, {u"scott/tiger@DEMO.db"_s, out, log}, u"ORA-12154"_s,
           u"unknown SID"_s);
    logged("exp SID is a folder", exp, {u"scott/tiger@FOLDER"_s, out, log}, u"ORA-01034"_s,
           u"is a folder"_s);
    logged("exp SID is a broken link", exp, {u"scott/tiger@BROKEN"_s, out, log}, u"ORA-01034"_s,
           u"symbolic link to nothing"_s);
    add("exp unknown keyword", exp, {scott, out, log, u"colour=red"_s}, u"EXP-00019"_s,
        u"unknown keyword \"colour\""_s);
    add("exp connection repeated", exp, {scott, out, log, u"USERID=scott/tiger@DEMO"_s},
        u"EXP-00019"_s, u"unknown keyword \"USERID\""_s);
    add("exp malformed piece", exp, {scott, out, log, u"rows=maybe"_s}, u"EXP-00019"_s,
        u"rows= takes y or n"_s);
    logged("exp full needs DBA", exp, {scott, out, log, u"full=y"_s}, u"EXP-00023"_s,
           u"must be a DBA to do Full Database"_s);

    // The password goes on after a blank up to the first real keyword.
    logged("password with word= after a blank", exp, {u"scott/ti"_s, u"ger=x@DEMO"_s, out, log},
           u"ORA-01017"_s, u"invalid username/password; logon denied"_s, u"ger=x"_s);
    add("password with no end", exp, {u"scott/pass"_s, u"word=x"_s, out, log}, u"EXP-00019"_s,
        u"user/password@SID"_s, u"word=x"_s);

    // A log is written only as a regular file of its own, after every check.
    add("log names the dump", exp, {scott, u"file=@dump"_s, u"log=@dump"_s}, u"EXP-00019"_s,
        u"name the same file"_s);
    add("log names the dump another way", exp, {scott, u"file=@dump"_s, u"log=@dir/./good.dump"_s},
        u"EXP-00028"_s, u"name the same file"_s);
    add("log names a new dump another way", exp, {scott, out, u"log=@dir/folder/../out.dump"_s},
        u"EXP-00028"_s, u"name the same file"_s);
    add("log through a symbolic link", exp, {scott, out, u"log=@dir/link-to-demo"_s},
        u"EXP-00028"_s, u"a symbolic link"_s);
    add("log in oradata, wrong password", exp, {u"scott/WRONG@DEMO"_s, out, u"log=@ora/DEMO.db"_s},
        u"EXP-00028"_s, u"where the databases live"_s);
    add("log in oradata", exp, {scott, out, u"log=@ora/DEMO.log"_s}, u"EXP-00028"_s,
        u"where the databases live"_s);
    add("log is a pipe", exp, {scott, out, u"log=@dir/pipe"_s}, u"EXP-00028"_s, u"a pipe"_s);
    add("log is a folder", exp, {scott, out, u"log=@dir/folder"_s}, u"EXP-00028"_s, u"a folder"_s);
    add("log in a missing folder", exp, {scott, out, u"log=@dir/no/such/x.log"_s}, u"EXP-00028"_s,
        u"not a folder"_s);
    add("imp log names the dump", imp, {u"scott/tiger@TEST"_s, u"file=@dump"_s, u"log=@dump"_s},
        u"IMP-00022"_s, u"name the same file"_s);

    // A dump replaces only a regular, writable dump, and only with what was asked for.
    add("dump over a pipe", exp, {scott, u"file=@dir/pipe"_s, log}, u"EXP-00028"_s, u"a pipe"_s);
    add("dump over the database", exp, {scott, u"file=@ora/DEMO.db"_s, log}, u"EXP-00028"_s,
        u"where the databases live"_s);
    add("dump through a symbolic link", exp, {scott, u"file=@dir/link-to-demo"_s, log},
        u"EXP-00028"_s, u"a symbolic link"_s);
    add("dump over a folder", exp, {scott, u"file=@dir/folder"_s, log}, u"EXP-00028"_s,
        u"a folder"_s);
    add("dump over a read-only dump", exp, {scott, u"file=@dir/readonly.dump"_s, log},
        u"EXP-00028"_s, u"read-only"_s);
    if (QFileInfo::exists(home_->path(u"null-device"_s)))
        add("dump over a device", exp, {scott, u"file=@dir/null-device"_s, log}, u"EXP-00028"_s,
            u"a device"_s);
    logged("tables= all misspelt", exp, {scott, u"file=@dump"_s, log, u"tables=(EMPP,DEPTT)"_s},
           u"ORA-00942"_s, u"none of the tables named in tables= exists"_s);
    logged("empty schema over a dump", exp, {u"hr/hr@TEST"_s, u"file=@dump"_s, log}, u"ORA-00942"_s,
           u"schema HR has no tables"_s);
    add("imp dump is a pipe", imp, {u"scott/tiger@TEST"_s, u"file=@dir/pipe"_s, log},
        u"IMP-00002"_s, u"a pipe"_s);

    // query= is a condition on the table's rows and nothing else.
    const auto dept = u"tables=DEPT"_s;
    logged("query second statement", exp,
           {scott, out, log, dept, u"query=\"WHERE 1=1; DELETE FROM th_grants\""_s}, u"EXP-00019"_s,
           u"more than one SQL statement"_s);
    logged("query other table", exp,
           {scott, out, log, dept, u"query=\"WHERE DNAME IN (SELECT password FROM th_users)\""_s},
           u"EXP-00019"_s, u"may read only the table"_s);
    logged("query broken", exp, {scott, out, log, dept, u"query=\"WHERE (\""_s}, u"EXP-00019"_s,
           u"query= is refused"_s);
    logged("query union", exp, {scott, out, log, dept, u"query=\"1=0 UNION SELECT 1,2,3\""_s},
           u"EXP-00019"_s, u"query= is refused"_s);
    logged("query closes the WHERE", exp,
           {scott, out, log, dept, u"query=\"1=1) UNION SELECT (1),2,(3\""_s}, u"EXP-00019"_s,
           u"parentheses do not pair up"_s);
    logged("query groups rows", exp, {scott, out, log, dept, u"query=\"1=1) GROUP BY (LOC\""_s},
           u"EXP-00019"_s, u"parentheses do not pair up"_s);
    logged("query comment hides a parenthesis", exp,
           {scott, out, log, dept, u"query=\"1=1 /* ) UNION SELECT 1,2,3 --\""_s}, u"EXP-00019"_s,
           u"not closed"_s);
    logged("query sub-query of the table", exp,
           {scott, out, log, dept, u"query=\"DEPTNO IN (SELECT DEPTNO FROM \"SCOTT.DEPT\")\""_s},
           u"EXP-00019"_s, u"no sub-query"_s);
    logged("query costly function", exp,
           {scott, out, log, dept, u"query=\"length(randomblob(1000000000)) > 0\""_s},
           u"EXP-00019"_s, u"may not call randomblob()"_s);
    logged("query growing text", exp,
           {scott, out, log, dept, u"query=\"printf('%.*c', 1000000000, 'x') <> ''\""_s},
           u"EXP-00019"_s, u"may not call printf()"_s);
    add("query too long", exp,
        {scott, out, log, dept, u"query=\"1=1"_s + u" AND 1=1"_s.repeated(600) + u"\""_s},
        u"EXP-00019"_s, u"longer than 4000 bytes"_s);

    logged("imp wrong password", imp, {u"scott/lion@TEST"_s, u"file=@dump"_s, log}, u"ORA-01017"_s,
           u"invalid username/password; logon denied"_s, u"lion"_s);
    logged("imp unknown SID", imp, {u"scott/tiger@PROD"_s, u"file=@dump"_s, log}, u"ORA-12154"_s,
           u"unknown SID \"PROD\""_s);
    add("imp unknown keyword", imp, {u"scott/tiger@TEST"_s, u"file=@dump"_s, log, u"destroy=y"_s},
        u"IMP-00022"_s, u"unknown keyword \"destroy\""_s);
    logged("imp not a dump", imp, {u"scott/tiger@TEST"_s, u"file=@dir/notes.txt"_s, log},
           u"IMP-00010"_s, u"is not a Tarnhold export dump"_s);
    logged("imp newer format", imp, {u"scott/tiger@TEST"_s, u"file=@dir/newer.dump"_s, log},
           u"IMP-00010"_s, u"dump format 7"_s);
    add("imp missing dump", imp, {u"scott/tiger@TEST"_s, u"file=@dir/none.dump"_s, log},
        u"IMP-00002"_s, u"none.dump for read"_s);
    logged("imp other schema", imp,
           {u"scott/tiger@TEST"_s, u"file=@dump"_s, log, u"fromuser=SCOTT"_s, u"touser=HR"_s},
           u"IMP-00007"_s, u"may not import into schema HR"_s);
}

void RefusalsTest::refused() {
    QFETCH(QString, tool);
    QFETCH(QStringList, args);
    QFETCH(QString, code);
    QFETCH(QString, reason);
    QFETCH(QString, secret);
    QFETCH(bool, logged);

    args.replaceInStrings(u"@dump"_s, goodDump_);
    args.replaceInStrings(u"@dir/"_s, home_->path(QString()) + u'/');
    args.replaceInStrings(u"@ora/"_s, home_->path(u"oradata/"_s));
    const auto earlierLog = home_->path(u"earlier.log"_s);
    QFile file(earlierLog); // each row meets an earlier log of its own
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(file.write("an earlier log\n"), 15);
    file.close();
    const auto before = snapshot(home_->path(QString()));

    const auto result = tool == u"exp"_s ? home_->exp(args) : home_->imp(args);

    const auto err = QString::fromUtf8(result.err);
    QCOMPARE(result.exitCode, 2);
    const auto lines = err.split(u'\n');
    QVERIFY2(std::any_of(lines.begin(), lines.end(),
                         [&](const QString& line) {
                             return line.startsWith(code + u": "_s) && line.contains(reason);
                         }),
             qPrintable(err));
    QVERIFY2(!err.contains(secret), qPrintable(err));
    const auto closing = tool == u"exp"_s ? u"EXP-00000: Export terminated unsuccessfully\n"_s
                                          : u"IMP-00000: Import terminated unsuccessfully\n"_s;
    QVERIFY(err.endsWith(closing));
    const auto after = snapshot(home_->path(QString()));
    for (auto node = before.begin(); node != before.end(); ++node) {
        if (!logged || node.key() != earlierLog)
            QVERIFY2(after.value(node.key()) == node.value(), qPrintable(node.key()));
    }
    QCOMPARE(after.keys(), before.keys()); // no dump, no new log, no partial file
    if (logged)                            // this run's log, whole, in place of the earlier one
        QCOMPARE(fileBytes(earlierLog), result.err);
}

// A run that meets a problem it can go past warns with the utilities' message code, finishes the
// rest, and ends with warnings (status 1).
void RefusalsTest::warned_data() {
    QTest::addColumn<QString>("tool");
    QTest::addColumn<QStringList>("args");  // "@dump" and "@dir/" are replaced
    QTest::addColumn<QStringList>("lines"); // whole lines of the log, in this order

    QTest::newRow("a missing table is left out")
        << u"exp"_s
        << QStringList{u"scott/tiger@DEMO"_s, u"file=@dir/warned.dump"_s,
                       u"tables=(DEPT,NOPE,EMP)"_s}
        << QStringList{u"EXP-00011: SCOTT.NOPE does not exist"_s,
                       u"Exporting 2 table(s) in tables mode:"_s,
                       u"  exported SCOTT.DEPT: 6 rows"_s, u"  exported SCOTT.EMP: 300 rows"_s,
                       u"Export terminated successfully with warnings."_s};
    QTest::newRow("a query that does not fit a table")
        << u"exp"_s
        << QStringList{u"scott/tiger@DEMO"_s, u"file=@dir/warned.dump"_s,
                       u"tables=(SALGRADE,DEPT)"_s, u"query=DEPTNO = 10"_s}
        << QStringList{u"EXP-00008: ORACLE error 904 encountered"_s,
                       u"ORA-00904: invalid identifier: query= does not fit SCOTT.SALGRADE: no "
                       u"such column: DEPTNO; table left out"_s,
                       u"  exported SCOTT.DEPT: 1 rows"_s,
                       u"Export terminated successfully with warnings."_s};
    QTest::newRow("a user the target lacks")
        << u"imp"_s
        << QStringList{u"system/manager@TEST"_s, u"file=@dump"_s, u"fromuser=SCOTT"_s,
                       u"touser=NOBODY"_s}
        << QStringList{u"IMP-00003: ORACLE error 1918 encountered"_s,
                       u"ORA-01918: user 'NOBODY' does not exist: SCOTT.DEPT into NOBODY.DEPT "
                       u"skipped"_s,
                       u"Import terminated successfully with warnings."_s};
    QTest::newRow("an existing table is skipped")
        << u"imp"_s
        << QStringList{u"scott/tiger@TEST"_s, u"file=@dump"_s, u"tables=DEPT"_s, u"ignore=n"_s}
        << QStringList{
               u"IMP-00015: following statement failed because the object already exists:"_s,
               u" \"CREATE TABLE \"SCOTT.DEPT\" (\"DEPTNO\" NUMBER(2) NOT NULL, \"DNAME\" "
               u"VARCHAR2(14), \"LOC\" VARCHAR2(13), PRIMARY KEY (\"DEPTNO\"))\""_s,
               u"  SCOTT.DEPT already exists; skipped, nothing written (ignore=n)"_s,
               u"Import terminated successfully with warnings."_s};
    QTest::newRow("a table and a user not in the dump")
        << u"imp"_s
        << QStringList{u"system/manager@TEST"_s, u"file=@dump"_s, u"fromuser=(SCOTT,NOBODY)"_s,
                       u"tables=GHOST"_s}
        << QStringList{u"IMP-00033: Warning: Table \"GHOST\" not found in export file"_s,
                       u"IMP-00034: Warning: FromUser \"NOBODY\" not found in export file"_s,
                       u"Import terminated successfully with warnings."_s};
}

void RefusalsTest::warned() {
    QFETCH(QString, tool);
    QFETCH(QStringList, args);
    QFETCH(QStringList, lines);

    args.replaceInStrings(u"@dump"_s, goodDump_);
    args.replaceInStrings(u"@dir/"_s, home_->path(QString()) + u'/');
    args.append(u"log="_s + home_->path(u"warned.log"_s));
    const auto result = tool == u"exp"_s ? home_->exp(args) : home_->imp(args);

    QCOMPARE(result.exitCode, 1);
    const auto logged = result.log.split(u'\n');
    auto from = logged.begin();
    for (const auto& line : lines) {
        from = std::find(from, logged.end(), line);
        QVERIFY2(from != logged.end(), qPrintable(line + u"\n---\n"_s + result.log));
    }
    QVERIFY(result.log.endsWith(lines.last() + u'\n'));
    QCOMPARE(QString::fromUtf8(result.err), result.log); // the terminal hears the same
}

QTEST_GUILESS_MAIN(RefusalsTest)
#include "tst_standin_refusals.moc"
