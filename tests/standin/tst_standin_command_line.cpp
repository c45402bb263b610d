// SPDX-License-Identifier: GPL-3.0-or-later
#include "standin/command_line.h"
#include "standin/parameter_report.h"

#include <QtTest>

using namespace Qt::StringLiterals;

namespace {

std::vector<std::string> toArgs(const QStringList& list) {
    std::vector<std::string> args;
    for (const auto& item : list)
        args.push_back(item.toStdString());
    return args;
}

standin::Tool toolFor(const QString& name) {
    return name == u"exp"_s ? standin::Tool::Export : standin::Tool::Import;
}

QStringList reportOf(const standin::Options& options) {
    QStringList lines;
    for (const auto& line : standin::describeParameters(options))
        lines << QString::fromStdString(line);
    return lines;
}

} // namespace

class CommandLineTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void connection_data();
    void connection();
    void accepted_data();
    void accepted();
    void refused_data();
    void refused();
    void refusedArgumentsHideThePassword_data();
    void refusedArgumentsHideThePassword();
    void passwordNeverReported_data();
    void passwordNeverReported();
    void valuesSplitAtBlanksAreJoined_data();
    void valuesSplitAtBlanksAreJoined();
};

void CommandLineTest::connection_data() {
    QTest::addColumn<QString>("connection");
    QTest::addColumn<QString>("user");
    QTest::addColumn<QString>("password");
    QTest::addColumn<QString>("sid");
    QTest::addColumn<QString>("error");

    QTest::newRow("plain") << u"scott/tiger@DEMO"_s << u"SCOTT"_s << u"tiger"_s << u"DEMO"_s
                           << QString();
    QTest::newRow("slash in password")
        << u"scott/a/b@DEMO"_s << u"SCOTT"_s << u"a/b"_s << u"DEMO"_s << QString();
    QTest::newRow("at in password")
        << u"scott/p@ss@DEMO"_s << u"SCOTT"_s << u"p@ss"_s << u"DEMO"_s << QString();
    QTest::newRow("shell text in password")
        << u"scott/x;$(id) `y`@TEST"_s << u"SCOTT"_s << u"x;$(id) `y`"_s << u"TEST"_s << QString();
    QTest::newRow("userid prefix")
        << u"USERID=hr/hr@DEMO"_s << u"HR"_s << u"hr"_s << u"DEMO"_s << QString();
    QTest::newRow("SID is not checked here")
        << u"scott/tiger@../x"_s << u"SCOTT"_s << u"tiger"_s << u"../x"_s << QString();
    QTest::newRow("no at") << u"scott/tiger"_s << QString() << QString() << QString()
                           << u"user/password@SID"_s;
    QTest::newRow("no slash") << u"scott@DEMO"_s << QString() << QString() << QString()
                              << u"user/password@SID"_s;
    QTest::newRow("at before slash")
        << u"scott@DEMO/tiger"_s << QString() << QString() << QString() << u"user/password@SID"_s;
    QTest::newRow("empty password")
        << u"scott/@DEMO"_s << QString() << QString() << QString() << u"no password"_s;
    QTest::newRow("empty SID") << u"scott/tiger@"_s << QString() << QString() << QString()
                               << u"no SID"_s;
    QTest::newRow("bad user") << u"sc-ott/tiger@DEMO"_s << QString() << QString() << QString()
                              << u"not a valid user name"_s;
    QTest::newRow("empty user") << u"/tiger@DEMO"_s << QString() << QString() << QString()
                                << u"not a valid user name"_s;
}

void CommandLineTest::valuesSplitAtBlanksAreJoined_data() {
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QStringList>("joined");
    QTest::newRow("nothing to join")
        << QStringList{u"a/b@C"_s, u"rows=y"_s} << QStringList{u"a/b@C"_s, u"rows=y"_s};
    QTest::newRow("password with a blank")
        << QStringList{u"scott/a;touch"_s, u"x@DEMO"_s, u"rows=y"_s}
        << QStringList{u"scott/a;touch x@DEMO"_s, u"rows=y"_s};
    QTest::newRow("password with a blank and word=")
        << QStringList{u"scott/pass"_s, u"word=x@DEMO"_s, u"log=/l"_s}
        << QStringList{u"scott/pass word=x@DEMO"_s, u"log=/l"_s};
    QTest::newRow("folder with blanks")
        << QStringList{u"a/b@C"_s, u"file=/tmp/my"_s, u"old"_s, u"dumps/x.dump"_s, u"log=/l"_s}
        << QStringList{u"a/b@C"_s, u"file=/tmp/my old dumps/x.dump"_s, u"log=/l"_s};
    QTest::newRow("equals sign inside a path")
        << QStringList{u"a/b@C"_s, u"file=/tmp/my"_s, u"a=b/x.dump"_s}
        << QStringList{u"a/b@C"_s, u"file=/tmp/my"_s, u"a=b/x.dump"_s};
    QTest::newRow("path piece that is no keyword")
        << QStringList{u"a/b@C"_s, u"file=/tmp/my"_s, u"d/a=b"_s}
        << QStringList{u"a/b@C"_s, u"file=/tmp/my d/a=b"_s};
}

void CommandLineTest::valuesSplitAtBlanksAreJoined() {
    QFETCH(QStringList, args);
    QFETCH(QStringList, joined);
    QStringList actual;
    for (const auto& piece : standin::joinContinuations(toArgs(args)))
        actual.append(QString::fromStdString(piece));
    QCOMPARE(actual, joined);
}

void CommandLineTest::connection() {
    QFETCH(QString, connection);
    QFETCH(QString, user);
    QFETCH(QString, password);
    QFETCH(QString, sid);
    QFETCH(QString, error);

    const auto outcome =
        standin::parseCommandLine(toArgs({connection, u"file=x.dump"_s}), standin::Tool::Export);
    if (!error.isEmpty()) {
        QVERIFY(!outcome.options);
        QVERIFY2(QString::fromStdString(outcome.error).contains(error), outcome.error.c_str());
        return;
    }
    QVERIFY2(outcome.options, outcome.error.c_str());
    QCOMPARE(QString::fromStdString(outcome.options->connection.user), user);
    QCOMPARE(QString::fromStdString(outcome.options->connection.password), password);
    QCOMPARE(QString::fromStdString(outcome.options->connection.sid), sid);
}

void CommandLineTest::accepted_data() {
    QTest::addColumn<QString>("tool");
    QTest::addColumn<QStringList>("pieces");
    QTest::addColumn<QString>("reported");

    QTest::newRow("defaults exp") << u"exp"_s << QStringList() << u"rows=y"_s;
    QTest::newRow("defaults imp statistics") << u"imp"_s << QStringList() << u"statistics=none"_s;
    QTest::newRow("keyword case") << u"exp"_s << QStringList{u"ROWS=N"_s} << u"rows=n"_s;
    QTest::newRow("yes") << u"imp"_s << QStringList{u"ignore=yes"_s} << u"ignore=y"_s;
    QTest::newRow("tables quoted list")
        << u"exp"_s << QStringList{u"tables=(\"EMP,DEPT\")"_s} << u"tables=(EMP,DEPT)"_s;
    QTest::newRow("tables each quoted")
        << u"exp"_s << QStringList{u"tables=(\"emp\",\"dept\")"_s} << u"tables=(EMP,DEPT)"_s;
    QTest::newRow("tables plain, blanks")
        << u"exp"_s << QStringList{u"tables=(emp, dept)"_s} << u"tables=(EMP,DEPT)"_s;
    QTest::newRow("single table") << u"imp"_s << QStringList{u"tables=emp"_s} << u"tables=(EMP)"_s;
    QTest::newRow("qualified table")
        << u"exp"_s << QStringList{u"tables=(hr.jobs)"_s} << u"tables=(HR.JOBS)"_s;
    QTest::newRow("query quoted") << u"exp"_s << QStringList{u"query=\"WHERE DEPTNO=10\""_s}
                                  << u"query=WHERE DEPTNO=10"_s;
    QTest::newRow("query escaped quotes")
        << u"exp"_s << QStringList{u"query=\\\"WHERE A = 'x'\\\""_s} << u"query=WHERE A = 'x'"_s;
    QTest::newRow("query with equals")
        << u"exp"_s << QStringList{u"query=WHERE A=1"_s} << u"query=WHERE A=1"_s;
    QTest::newRow("statistics") << u"exp"_s << QStringList{u"statistics=COMPUTE"_s}
                                << u"statistics=compute"_s;
    QTest::newRow("feedback") << u"exp"_s << QStringList{u"feedback=1000"_s} << u"feedback=1000"_s;
    QTest::newRow("buffer last wins")
        << u"imp"_s << QStringList{u"buffer=64000"_s, u"buffer=1000000"_s} << u"buffer=1000000"_s;
    QTest::newRow("recordlength") << u"exp"_s << QStringList{u"recordlength=65535"_s}
                                  << u"recordlength=65535"_s;
    QTest::newRow("fromuser touser")
        << u"imp"_s << QStringList{u"fromuser=ADMIN"_s, u"touser=scott"_s} << u"touser=(SCOTT)"_s;
    QTest::newRow("user lists") << u"imp"_s << QStringList{u"fromuser=(a,b)"_s, u"touser=(c,d)"_s}
                                << u"fromuser=(A,B)"_s;
    QTest::newRow("quoted file with blank")
        << u"exp"_s << QStringList{u"file=\"/tmp/my dumps/x.dump\""_s}
        << u"file=/tmp/my dumps/x.dump"_s;
    QTest::newRow("direct") << u"exp"_s << QStringList{u"direct=y"_s} << u"direct=y"_s;
    QTest::newRow("commit") << u"imp"_s << QStringList{u"commit=y"_s} << u"commit=y"_s;
}

void CommandLineTest::accepted() {
    QFETCH(QString, tool);
    QFETCH(QStringList, pieces);
    QFETCH(QString, reported);

    QStringList args{u"scott/tiger@DEMO"_s, u"file=x.dump"_s};
    args << pieces;
    const auto outcome = standin::parseCommandLine(toArgs(args), toolFor(tool));
    QVERIFY2(outcome.options, outcome.error.c_str());
    const auto report = reportOf(*outcome.options);
    QVERIFY2(report.contains(reported), qPrintable(report.join(u" | "_s)));
}

void CommandLineTest::refused_data() {
    QTest::addColumn<QString>("tool");
    QTest::addColumn<QStringList>("pieces");
    QTest::addColumn<QString>("error");

    QTest::newRow("unknown keyword")
        << u"exp"_s << QStringList{u"colour=red"_s} << u"unknown keyword \"colour\""_s;
    QTest::newRow("stray word joins the value before")
        << u"exp"_s << QStringList{u"rows=y"_s, u"maybe"_s} << u"takes y or n"_s;
    QTest::newRow("no keyword joins the value before")
        << u"imp"_s << QStringList{u"feedback=1"_s, u"=y"_s} << u"feedback= takes a whole number"_s;
    QTest::newRow("empty value") << u"imp"_s << QStringList{u"log="_s} << u"log= needs a value"_s;
    QTest::newRow("switch") << u"exp"_s << QStringList{u"rows=maybe"_s} << u"takes y or n"_s;
    QTest::newRow("negative number")
        << u"exp"_s << QStringList{u"feedback=-1"_s} << u"feedback= takes a whole number"_s;
    QTest::newRow("not a number") << u"exp"_s << QStringList{u"buffer=1e3"_s}
                                  << u"buffer= takes a whole number"_s;
    QTest::newRow("zero buffer") << u"imp"_s << QStringList{u"buffer=0"_s}
                                 << u"buffer= takes a whole number"_s;
    QTest::newRow("huge number") << u"imp"_s << QStringList{u"feedback=99999999999999999999"_s}
                                 << u"feedback= takes a whole number"_s;
    QTest::newRow("recordlength too big") << u"exp"_s << QStringList{u"recordlength=70000"_s}
                                          << u"recordlength= takes a whole number"_s;
    QTest::newRow("statistics value")
        << u"imp"_s << QStringList{u"statistics=always"_s} << u"estimate, compute or none"_s;
    QTest::newRow("tables unbalanced paren")
        << u"exp"_s << QStringList{u"tables=(EMP"_s} << u"unbalanced parentheses"_s;
    QTest::newRow("tables unbalanced quote")
        << u"exp"_s << QStringList{u"tables=(\"EMP)"_s} << u"unbalanced double quote"_s;
    QTest::newRow("tables bad name")
        << u"exp"_s << QStringList{u"tables=(EMP;DROP)"_s} << u"not a valid table name"_s;
    QTest::newRow("tables empty item")
        << u"exp"_s << QStringList{u"tables=(EMP,,DEPT)"_s} << u"empty name"_s;
    QTest::newRow("tables empty list")
        << u"exp"_s << QStringList{u"tables=()"_s} << u"empty name"_s;
    QTest::newRow("empty query") << u"exp"_s << QStringList{u"query=\"\""_s}
                                 << u"query= needs a WHERE clause"_s;
    QTest::newRow("fromuser is imp's")
        << u"exp"_s << QStringList{u"fromuser=ADMIN"_s} << u"belongs to imp"_s;
    QTest::newRow("query is exp's")
        << u"imp"_s << QStringList{u"query=\"WHERE 1=1\""_s} << u"belongs to exp"_s;
    QTest::newRow("ignore is imp's")
        << u"exp"_s << QStringList{u"ignore=y"_s} << u"belongs to imp"_s;
    QTest::newRow("direct is exp's")
        << u"imp"_s << QStringList{u"direct=y"_s} << u"belongs to exp"_s;
    QTest::newRow("same file and log")
        << u"exp"_s << QStringList{u"log=x.dump"_s} << u"same file"_s;
    QTest::newRow("full with tables")
        << u"exp"_s << QStringList{u"full=y"_s, u"tables=EMP"_s} << u"cannot be combined"_s;
    QTest::newRow("full with query")
        << u"exp"_s << QStringList{u"full=y"_s, u"query=\"WHERE 1=1\""_s}
        << u"cannot be used with full=y"_s;
    QTest::newRow("full with fromuser")
        << u"imp"_s << QStringList{u"full=y"_s, u"fromuser=HR"_s} << u"cannot be combined"_s;
    QTest::newRow("touser alone") << u"imp"_s << QStringList{u"touser=SCOTT"_s}
                                  << u"touser= needs fromuser="_s;
    QTest::newRow("touser count") << u"imp"_s << QStringList{u"fromuser=(A,B)"_s, u"touser=C"_s}
                                  << u"as many users"_s;
    QTest::newRow("bad user name")
        << u"imp"_s << QStringList{u"fromuser=(A B)"_s} << u"not a valid user name"_s;
}

void CommandLineTest::refused() {
    QFETCH(QString, tool);
    QFETCH(QStringList, pieces);
    QFETCH(QString, error);

    QStringList args{u"scott/tiger@DEMO"_s, u"file=x.dump"_s};
    args << pieces;
    const auto outcome = standin::parseCommandLine(toArgs(args), toolFor(tool));
    QVERIFY(!outcome.options);
    QVERIFY2(QString::fromStdString(outcome.error).contains(error), outcome.error.c_str());
}

void CommandLineTest::refusedArgumentsHideThePassword_data() {
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QString>("secret");
    QTest::addColumn<QString>("shown");

    QTest::newRow("bad piece after a good connection")
        << QStringList{u"scott/tiger@DEMO"_s, u"colour=red"_s} << u"tiger"_s
        << u"scott/********@DEMO colour=red"_s;
    QTest::newRow("password typed again in the free text")
        << QStringList{u"scott/tiger@DEMO"_s, u"file=tiger.dmp"_s, u"x"_s} << u"tiger"_s
        << u"file=********.dmp x"_s;
    QTest::newRow("blank and word= in the password")
        << QStringList{u"scott/pass"_s, u"word=x@DEMO"_s, u"colour=red"_s} << u"word=x"_s
        << u"scott/********@DEMO colour=red"_s;
    QTest::newRow("password without its end")
        << QStringList{u"scott/pass"_s, u"word=x"_s, u"file=a"_s} << u"word=x"_s
        << u"scott/******** (the rest is not shown"_s;
    QTest::newRow("connection repeated as userid=")
        << QStringList{u"a/b@C"_s, u"USERID=scott/tiger@DEMO"_s} << u"tiger"_s
        << u"USERID=scott/********@DEMO"_s;
    QTest::newRow("empty connection alone") << QStringList{QString()} << u"tiger"_s << u"(none)"_s;
}

void CommandLineTest::refusedArgumentsHideThePassword() {
    QFETCH(QStringList, args);
    QFETCH(QString, secret);
    QFETCH(QString, shown);
    const auto text = QString::fromStdString(standin::describeRefusedArguments(toArgs(args)));
    QVERIFY2(!text.contains(secret), qPrintable(text));
    QVERIFY2(text.contains(shown), qPrintable(text));
}

void CommandLineTest::passwordNeverReported_data() {
    QTest::addColumn<QString>("password");
    QTest::newRow("plain") << u"tiger"_s;
    QTest::newRow("slashes and ats") << u"/a@b/c@"_s;
    QTest::newRow("shell") << u"$(id);rm"_s;
}

void CommandLineTest::passwordNeverReported() {
    QFETCH(QString, password);
    const QString connection = u"scott/"_s + password + u"@DEMO"_s;
    const auto outcome =
        standin::parseCommandLine(toArgs({connection, u"file=x.dump"_s}), standin::Tool::Import);
    QVERIFY2(outcome.options, outcome.error.c_str());
    const auto report = reportOf(*outcome.options).join(u'\n');
    QVERIFY(!report.contains(password));
    QVERIFY(report.contains(u"userid=SCOTT/********@DEMO"_s));
    QVERIFY(!QString::fromStdString(standin::maskConnection(connection.toStdString()))
                 .contains(password));
}

QTEST_GUILESS_MAIN(CommandLineTest)
#include "tst_standin_command_line.moc"
