// SPDX-License-Identifier: GPL-3.0-or-later
#include "standin/command_line.h"
#include "standin/selection.h"

#include <QtTest>

using namespace Qt::StringLiterals;

namespace {

standin::Options optionsFor(standin::Tool tool, const QString& user, const QStringList& pieces) {
    std::vector<std::string> args{user.toStdString() + "/pw@DEMO", "file=x.dump"};
    for (const auto& piece : pieces)
        args.push_back(piece.toStdString());
    auto outcome = standin::parseCommandLine(args, tool);
    if (!outcome.options)
        qFatal("bad test command line: %s", outcome.error.c_str());
    return *outcome.options;
}

standin::QualifiedName nameOf(const QString& text) {
    return *standin::parseQualifiedName(text.toStdString());
}

QStringList namesOf(const std::vector<standin::QualifiedName>& names) {
    QStringList list;
    for (const auto& name : names)
        list << QString::fromStdString(name.storageName());
    return list;
}

} // namespace

class SelectionTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void importTarget_data();
    void importTarget();
    void importUnmatched();
    void refusals_data();
    void refusals();
    void exportTables_data();
    void exportTables();
};

void SelectionTest::importTarget_data() {
    QTest::addColumn<QString>("user");
    QTest::addColumn<QStringList>("pieces");
    QTest::addColumn<QString>("dumped");
    QTest::addColumn<QString>("target"); // empty: not imported

    QTest::newRow("own schema") << u"SCOTT"_s << QStringList() << u"SCOTT.EMP"_s << u"SCOTT"_s;
    QTest::newRow("other schema") << u"SCOTT"_s << QStringList() << u"HR.JOBS"_s << QString();
    QTest::newRow("full") << u"SYSTEM"_s << QStringList{u"full=y"_s} << u"HR.JOBS"_s << u"HR"_s;
    QTest::newRow("fromuser") << u"SYSTEM"_s << QStringList{u"fromuser=HR"_s} << u"HR.JOBS"_s
                              << u"HR"_s;
    QTest::newRow("fromuser leaves others")
        << u"SYSTEM"_s << QStringList{u"fromuser=HR"_s} << u"SYSTEM.T"_s << QString();
    QTest::newRow("touser") << u"SCOTT"_s << QStringList{u"fromuser=HR"_s, u"touser=SCOTT"_s}
                            << u"HR.JOBS"_s << u"SCOTT"_s;
    QTest::newRow("touser pairs") << u"SYSTEM"_s
                                  << QStringList{u"fromuser=(A,B)"_s, u"touser=(C,D)"_s} << u"B.T"_s
                                  << u"D"_s;
    QTest::newRow("tables own") << u"SCOTT"_s << QStringList{u"tables=EMP"_s} << u"SCOTT.EMP"_s
                                << u"SCOTT"_s;
    QTest::newRow("tables other name")
        << u"SCOTT"_s << QStringList{u"tables=EMP"_s} << u"SCOTT.DEPT"_s << QString();
    QTest::newRow("tables other owner")
        << u"SCOTT"_s << QStringList{u"tables=EMP"_s} << u"HR.EMP"_s << QString();
    QTest::newRow("tables qualified")
        << u"SYSTEM"_s << QStringList{u"tables=HR.JOBS"_s} << u"HR.JOBS"_s << u"HR"_s;
    QTest::newRow("tables qualified other")
        << u"SYSTEM"_s << QStringList{u"tables=HR.JOBS"_s} << u"HR.LOCATIONS"_s << QString();
    QTest::newRow("tables within fromuser")
        << u"SYSTEM"_s << QStringList{u"fromuser=HR"_s, u"tables=JOBS"_s} << u"HR.JOBS"_s
        << u"HR"_s;
    QTest::newRow("tables outside fromuser")
        << u"SYSTEM"_s << QStringList{u"fromuser=HR"_s, u"tables=JOBS"_s} << u"SYSTEM.JOBS"_s
        << QString();
}

void SelectionTest::importTarget() {
    QFETCH(QString, user);
    QFETCH(QStringList, pieces);
    QFETCH(QString, dumped);
    QFETCH(QString, target);

    const auto options = optionsFor(standin::Tool::Import, user, pieces);
    standin::ImportSelection selection(options, user.toStdString());
    const auto owner = selection.targetOwner(nameOf(dumped));
    QCOMPARE(owner ? QString::fromStdString(*owner) : QString(), target);
}

void SelectionTest::importUnmatched() {
    const auto options = optionsFor(standin::Tool::Import, u"SYSTEM"_s,
                                    {u"fromuser=(HR,NOBODY)"_s, u"tables=(JOBS,GHOST)"_s});
    standin::ImportSelection selection(options, "SYSTEM");
    QVERIFY(selection.targetOwner(nameOf(u"HR.JOBS"_s)));
    QVERIFY(!selection.targetOwner(nameOf(u"HR.LOCATIONS"_s)));
    const auto unmatched = selection.unmatched();
    QCOMPARE(unmatched.size(), 2u);
    QCOMPARE(unmatched[0].line(), "IMP-00033: Warning: Table \"GHOST\" not found in export file");
    QCOMPARE(unmatched[1].line(),
             "IMP-00034: Warning: FromUser \"NOBODY\" not found in export file");
}

void SelectionTest::refusals_data() {
    QTest::addColumn<QString>("tool");
    QTest::addColumn<bool>("dba");
    QTest::addColumn<QStringList>("pieces");
    QTest::addColumn<QString>("refusal"); // the start of its line; empty: allowed

    const auto otherAccount =
        u"IMP-00007: must be a DBA to import objects to another user's account: "_s;
    QTest::newRow("exp own") << u"exp"_s << false << QStringList() << QString();
    QTest::newRow("exp full") << u"exp"_s << false << QStringList{u"full=y"_s}
                              << u"EXP-00023: must be a DBA to do Full Database"_s;
    QTest::newRow("exp full as DBA") << u"exp"_s << true << QStringList{u"full=y"_s} << QString();
    QTest::newRow("exp own qualified")
        << u"exp"_s << false << QStringList{u"tables=SCOTT.EMP"_s} << QString();
    QTest::newRow("exp other schema") << u"exp"_s << false << QStringList{u"tables=HR.JOBS"_s}
                                      << u"EXP-00009: no privilege to export HR's table JOBS"_s;
    QTest::newRow("imp own") << u"imp"_s << false << QStringList() << QString();
    QTest::newRow("imp full") << u"imp"_s << false << QStringList{u"full=y"_s}
                              << otherAccount + u"full=y imports every schema"_s;
    QTest::newRow("imp into other") << u"imp"_s << false << QStringList{u"fromuser=HR"_s}
                                    << otherAccount + u"SCOTT may not import into schema HR"_s;
    QTest::newRow("imp other into own")
        << u"imp"_s << false << QStringList{u"fromuser=HR"_s, u"touser=SCOTT"_s} << QString();
    QTest::newRow("imp own into other")
        << u"imp"_s << false << QStringList{u"fromuser=SCOTT"_s, u"touser=HR"_s}
        << otherAccount + u"SCOTT may not import into schema HR"_s;
    QTest::newRow("imp qualified other") << u"imp"_s << false << QStringList{u"tables=HR.JOBS"_s}
                                         << otherAccount + u"SCOTT may not import into schema HR"_s;
    QTest::newRow("imp as DBA") << u"imp"_s << true
                                << QStringList{u"fromuser=SCOTT"_s, u"touser=HR"_s} << QString();
}

void SelectionTest::refusals() {
    QFETCH(QString, tool);
    QFETCH(bool, dba);
    QFETCH(QStringList, pieces);
    QFETCH(QString, refusal);

    const bool exp = tool == u"exp"_s;
    const auto options =
        optionsFor(exp ? standin::Tool::Export : standin::Tool::Import, u"SCOTT"_s, pieces);
    const standin::UserRecord user{"SCOTT", dba};
    const auto why =
        exp ? standin::exportRefusal(options, user) : standin::importRefusal(options, user);
    const auto line = why ? QString::fromStdString(why->line()) : QString();
    if (refusal.isEmpty())
        QVERIFY2(!why, qPrintable(line));
    else
        QVERIFY2(line.startsWith(refusal), qPrintable(line));
}

void SelectionTest::exportTables_data() {
    QTest::addColumn<QString>("user");
    QTest::addColumn<QStringList>("pieces");
    QTest::addColumn<QString>("mode");
    QTest::addColumn<QStringList>("tables");
    QTest::addColumn<QStringList>("missing"); // the warning lines

    QTest::newRow("user mode") << u"SCOTT"_s << QStringList() << u"user"_s
                               << QStringList{u"SCOTT.DEPT"_s, u"SCOTT.EMP"_s} << QStringList();
    QTest::newRow("user without tables")
        << u"NOBODY"_s << QStringList() << u"user"_s << QStringList() << QStringList();
    QTest::newRow("full") << u"SYSTEM"_s << QStringList{u"full=y"_s} << u"full"_s
                          << QStringList{u"HR.JOBS"_s, u"SCOTT.DEPT"_s, u"SCOTT.EMP"_s}
                          << QStringList();
    QTest::newRow("tables in given order")
        << u"SCOTT"_s << QStringList{u"tables=(EMP,DEPT)"_s} << u"tables"_s
        << QStringList{u"SCOTT.EMP"_s, u"SCOTT.DEPT"_s} << QStringList();
    QTest::newRow("missing table warns")
        << u"SCOTT"_s << QStringList{u"tables=(EMP,NOPE)"_s} << u"tables"_s
        << QStringList{u"SCOTT.EMP"_s} << QStringList{u"EXP-00011: SCOTT.NOPE does not exist"_s};
    QTest::newRow("named twice") << u"SCOTT"_s << QStringList{u"tables=(EMP,SCOTT.EMP)"_s}
                                 << u"tables"_s << QStringList{u"SCOTT.EMP"_s} << QStringList();
    QTest::newRow("qualified") << u"SYSTEM"_s << QStringList{u"tables=(HR.JOBS)"_s} << u"tables"_s
                               << QStringList{u"HR.JOBS"_s} << QStringList();
    QTest::newRow("unqualified is own")
        << u"SYSTEM"_s << QStringList{u"tables=(JOBS)"_s} << u"tables"_s << QStringList()
        << QStringList{u"EXP-00011: SYSTEM.JOBS does not exist"_s};
}

void SelectionTest::exportTables() {
    QFETCH(QString, user);
    QFETCH(QStringList, pieces);
    QFETCH(QString, mode);
    QFETCH(QStringList, tables);
    QFETCH(QStringList, missing);

    const std::vector<standin::QualifiedName> catalogue{
        {"HR", "JOBS"}, {"SCOTT", "DEPT"}, {"SCOTT", "EMP"}};
    const auto options = optionsFor(standin::Tool::Export, user, pieces);
    const auto selection = standin::selectForExport(catalogue, options, user.toStdString());
    QCOMPARE(QString::fromStdString(selection.mode), mode);
    QCOMPARE(namesOf(selection.tables), tables);
    QStringList warned;
    for (const auto& warning : selection.missing)
        warned.append(QString::fromStdString(warning.line()));
    QCOMPARE(warned, missing);
}

QTEST_GUILESS_MAIN(SelectionTest)
#include "tst_standin_selection.moc"
