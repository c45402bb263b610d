// SPDX-License-Identifier: GPL-3.0-or-later
// The "Help" buttons: which page each opens, where it is looked for, and that the pages are
// built beside the program.
#include "app/FrmMain.h"
#include "app/HelpPages.h"
#include "platform/Browser.h"
#include "support/WindowTest.h"

#include <QDir>
#include <QFile>
#include <QPushButton>
#include <QTemporaryDir>

using namespace Qt::Literals::StringLiterals;

class TestHelp : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void cleanup();
    void buttonOpensPage_data();
    void buttonOpensPage();
    void pageLookedUp_data();
    void pageLookedUp();
    void pagesBesideProgram_data();
    void pagesBesideProgram();
};

void TestHelp::cleanup() {
    platform::Browser::setOpener({});
    QTRY_VERIFY(noWindowLeft());
}

void TestHelp::buttonOpensPage_data() {
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("page");
    QTest::newRow("export") << u"Command1"_s << u"Export.html"_s;
    QTest::newRow("import") << u"Command2"_s << u"Import.html"_s;
}

void TestHelp::buttonOpensPage() {
    QFETCH(QString, button);
    QFETCH(QString, page);
    QStringList opened;
    platform::Browser::setOpener([&opened](const QString& path) { opened.append(path); });
    frmMain window;
    control<QPushButton>(window, button.toLatin1().constData())->click();
    QCOMPARE(opened, QStringList{QCoreApplication::applicationDirPath() + u'/' + page});
}

// Pages beside the program (a build) win over pages in the installed tree's share folder.
void TestHelp::pageLookedUp_data() {
    QTest::addColumn<QStringList>("present");
    QTest::addColumn<QString>("expected");
    const QString installed = u"share/tarnhold/help/Import.html"_s;
    QTest::newRow("build") << QStringList{u"bin/Import.html"_s} << u"bin/Import.html"_s;
    QTest::newRow("installed") << QStringList{installed} << installed;
    QTest::newRow("both") << QStringList{u"bin/Import.html"_s, installed} << u"bin/Import.html"_s;
    QTest::newRow("neither") << QStringList{} << u"bin/Import.html"_s;
    QTest::newRow("other page only")
        << QStringList{u"share/tarnhold/help/Export.html"_s} << u"bin/Import.html"_s;
}

void TestHelp::pageLookedUp() {
    QFETCH(QStringList, present);
    QFETCH(QString, expected);
    QTemporaryDir prefix;
    QVERIFY(QDir(prefix.path()).mkpath(u"bin"_s));
    for (const QString& page : present) {
        QVERIFY(QDir(prefix.path()).mkpath(QFileInfo(page).path()));
        QFile file(prefix.filePath(page));
        QVERIFY(file.open(QIODevice::WriteOnly));
    }
    const QString found = helpPagePath(prefix.filePath(u"bin"_s), u"Import.html"_s);
    QCOMPARE(QDir::cleanPath(found), QDir::cleanPath(prefix.filePath(expected)));
}

void TestHelp::pagesBesideProgram_data() {
    QTest::addColumn<QString>("page");
    QTest::newRow("export") << u"Export.html"_s;
    QTest::newRow("import") << u"Import.html"_s;
}

void TestHelp::pagesBesideProgram() {
    QFETCH(QString, page);
    QFile file(QStringLiteral(TARNHOLD_PROGRAM_DIR) + u'/' + page);
    QVERIFY2(file.open(QIODevice::ReadOnly), qPrintable(file.fileName()));
    const QString html = QString::fromUtf8(file.readAll());
    for (const QString& term : {u"ORA_HOME"_s, u"NLS_LANG"_s, u"VL"_s, u"Directory"_s})
        QVERIFY2(html.contains(term), qPrintable(term));
}

QTEST_MAIN(TestHelp)
#include "tst_help.moc"
