// SPDX-License-Identifier: GPL-3.0-or-later
// Faults around the utilities and odd operator input: each either shows the box meant for it
// or carries on, and the read-back box always shows what was built.
#include "app/FrmMain.h"
#include "platform/Environment.h"
#include "support/EnvironmentGuard.h"
#include "support/MessageRecorder.h"
#include "support/OracleHome.h"
#include "support/Panels.h"
#include "support/WindowTest.h"

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProcessEnvironment>
#include <QPushButton>
#include <QTimer>

#include <csignal>
#include <sys/stat.h>
#include <unistd.h>

using namespace Qt::Literals::StringLiterals;

namespace {

struct RunOutcome {
    QStringList boxes;
    bool logOffered = false;
    QString readBack;
};

RunOutcome exportRun(frmMain& window) {
    auto* viewLog = control<QPushButton>(window, "cmd_view_explog");
    viewLog->setEnabled(false);
    MessageRecorder recorder;
    control<QPushButton>(window, "cmd_export")->click();
    return {recorder.texts(), viewLog->isEnabled(),
            control<QPlainTextEdit>(window, "txt_exp_params")->toPlainText()};
}

} // namespace

class TestFaults : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void cleanup();
    void utilityOutcomes_data();
    void utilityOutcomes();
    void utilityIsAFolder();
    void oraHomeForms_data();
    void oraHomeForms();
    void longOraHomeWorks();
    void hugeAndOddFields_data();
    void hugeAndOddFields();
    void environmentNamesRefused_data();
    void environmentNamesRefused();
    void logThatCannotBeShown_data();
    void logThatCannotBeShown();
    void inputDuringRunIsDropped();
    void closeDuringRunIsCarriedOutAfter();

private:
    EnvironmentGuard m_environment{{u"ORA_HOME"_s, u"NLS_LANG"_s, u"TARNHOLD_RECORD"_s,
                                    u"TARNHOLD_SLEEP_MS"_s, u"TARNHOLD_NO_LOG"_s,
                                    u"TARNHOLD_EXIT_STATUS"_s, u"TARNHOLD_SIGNAL"_s}};
};

void TestFaults::cleanup() {
    for (const char* name :
         {"TARNHOLD_SLEEP_MS", "TARNHOLD_NO_LOG", "TARNHOLD_EXIT_STATUS", "TARNHOLD_SIGNAL"})
        qunsetenv(name);
    closeConsoles();
    QTRY_VERIFY(noWindowLeft());
}

void TestFaults::utilityOutcomes_data() {
    QTest::addColumn<QByteArray>("variable");
    QTest::addColumn<QByteArray>("value");
    QTest::addColumn<bool>("logOffered");
    QTest::newRow("exits non-zero")
        << QByteArray("TARNHOLD_EXIT_STATUS") << QByteArray("3") << true;
    QTest::newRow("killed by a signal")
        << QByteArray("TARNHOLD_SIGNAL") << QByteArray::number(SIGKILL) << true;
    QTest::newRow("never writes its log")
        << QByteArray("TARNHOLD_NO_LOG") << QByteArray("1") << false;
}

void TestFaults::utilityOutcomes() {
    QFETCH(QByteArray, variable);
    QFETCH(QByteArray, value);
    QFETCH(bool, logOffered);
    OracleHome home;
    qputenv(variable.constData(), value);
    frmMain window;
    fillExport(window, home.dumps());
    const RunOutcome outcome = exportRun(window);
    // The utility's own outcome is for its log; the program reports only a failed start.
    QCOMPARE(outcome.boxes, QStringList());
    QCOMPARE(outcome.logOffered, logOffered);
    QVERIFY(outcome.readBack.startsWith(u"exp scott/tiger@DEMO file="_s));
}

void TestFaults::utilityIsAFolder() {
    OracleHome home;
    QFile::remove(home.program(u"exp"_s));
    QVERIFY(QDir().mkdir(home.program(u"exp"_s)));
    frmMain window;
    fillExport(window, home.dumps());
    const RunOutcome outcome = exportRun(window);
    QCOMPARE(outcome.boxes, QStringList{u"Error: 13: Permission denied"_s});
    QVERIFY(!outcome.logOffered);
}

void TestFaults::oraHomeForms_data() {
    QTest::addColumn<QString>("form");
    QTest::addColumn<QStringList>("boxes");
    const QStringList notFound{u"Error: export executeable \"exp\" not found."_s};
    QTest::newRow("names a file") << u"file"_s << notFound;
    QTest::newRow("names nothing") << u"missing"_s << notFound;
    QTest::newRow("ends in a separator") << u"trailing"_s << QStringList();
    QTest::newRow("one long name") << u"toolong"_s << notFound;
    QTest::newRow("bytes the locale's encoding cannot show") << u"bytes"_s << QStringList();
}

void TestFaults::oraHomeForms() {
    QFETCH(QString, form);
    QFETCH(QStringList, boxes);
    OracleHome home;
    QString oraHome = home.path();
    if (form == u"file"_s)
        oraHome = home.program(u"exp"_s);
    else if (form == u"missing"_s)
        oraHome += u"/nothing"_s;
    else if (form == u"trailing"_s)
        oraHome += u'/';
    else if (form == u"toolong"_s)
        oraHome += u'/' + QString(300, u'a');
    QByteArray oraHomeBytes = QFile::encodeName(oraHome);
    if (form == u"bytes"_s) {
        // A folder named in Latin-1 on a UTF-8 system: it is named, but no text shows it.
        oraHomeBytes += "/h\xe9me";
        QVERIFY(::mkdir(oraHomeBytes.constData(), 0700) == 0);
        QVERIFY(::symlink(QFile::encodeName(home.path() + u"/bin"_s).constData(),
                          QByteArray(oraHomeBytes + "/bin").constData()) == 0);
    }
    qputenv("ORA_HOME", oraHomeBytes);
    frmMain window;
    fillExport(window, home.dumps());
    const RunOutcome outcome = exportRun(window);
    QCOMPARE(outcome.boxes, boxes);
    QCOMPARE(outcome.logOffered, boxes.isEmpty());
}

void TestFaults::longOraHomeWorks() {
    OracleHome home;
    // 4,000 characters in folders of a length every file system takes.
    QString oraHome = home.path();
    while (oraHome.size() < 4000)
        oraHome += u'/' + QString(std::min<qsizetype>(200, 3999 - oraHome.size()), u'o');
    QCOMPARE(oraHome.size(), 4000);
    QVERIFY(QDir().mkpath(oraHome + u"/bin"_s));
    QVERIFY(QFile::copy(home.program(u"exp"_s), oraHome + u"/bin/exp"_s));
    qputenv("ORA_HOME", QFile::encodeName(oraHome));
    QCOMPARE(platform::environmentValue(u"ORA_HOME"_s)->size(), 4000);
    frmMain window;
    fillExport(window, home.dumps());
    const RunOutcome outcome = exportRun(window);
    QCOMPARE(outcome.boxes, QStringList());
    QVERIFY(outcome.logOffered);
}

void TestFaults::hugeAndOddFields_data() {
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QStringList>("boxes");
    QTest::newRow("megabyte password") << u"txt_password_e"_s << QString(1 << 20, u'p')
                                       << QStringList{u"Error: 7: Argument list too long"_s};
    QTest::newRow("megabyte of other text in many arguments")
        << u"txt_other_e"_s << u"recordlength=1 "_s.repeated(1 << 16).trimmed() << QStringList();
    QTest::newRow("control characters")
        << u"txt_query_e"_s << u"WHERE\tA=1\x01\x1b\x7f"_s << QStringList();
    QTest::newRow("non-ASCII") << u"txt_password_e"_s << u"pässwörd€漢字"_s << QStringList();
}

void TestFaults::hugeAndOddFields() {
    QFETCH(QString, field);
    QFETCH(QString, value);
    QFETCH(QStringList, boxes);
    OracleHome home;
    frmMain window;
    fillExport(window, home.dumps());
    control<QWidget>(window, "chk_direct_e")->setProperty("checked", false);
    window.findChild<QLineEdit*>(field)->setText(value);
    const QString expectedLine = window.CreateExportString();
    const RunOutcome outcome = exportRun(window);
    QCOMPARE(outcome.boxes, boxes);
    QCOMPARE(outcome.readBack, expectedLine);
    if (boxes.isEmpty())
        QCOMPARE(home.recordedArguments().join(u' '), expectedLine.mid(4));
}

void TestFaults::environmentNamesRefused_data() {
    QTest::addColumn<QString>("name");
    QTest::newRow("empty") << QString();
    QTest::newRow("equals sign") << u"A=B"_s;
    QTest::newRow("NUL") << u"A\0B"_s;
}

void TestFaults::environmentNamesRefused() {
    QFETCH(QString, name);
    const QStringList before = QProcessEnvironment::systemEnvironment().toStringList();
    QVERIFY(!platform::setEnvironmentValue(name, u"value"_s));
    QVERIFY(!platform::setEnvironmentValue(name, QString()));
    QCOMPARE(QProcessEnvironment::systemEnvironment().toStringList(), before);
}

void TestFaults::logThatCannotBeShown_data() {
    QTest::addColumn<QString>("fault");
    QTest::newRow("removed after the run") << u"removed"_s;
    QTest::newRow("a pipe, which would wait for a writer") << u"pipe"_s;
    QTest::newRow("a folder") << u"folder"_s;
    QTest::newRow("no read permission") << u"permission"_s;
}

void TestFaults::logThatCannotBeShown() {
    QFETCH(QString, fault);
    OracleHome home;
    frmMain window;
    fillExport(window, home.dumps());
    RunOutcome outcome = exportRun(window);
    QVERIFY(outcome.logOffered);

    const QString log = home.dumps() + u"/x.dump.log"_s;
    QVERIFY(QFile::remove(log));
    if (fault == u"pipe"_s)
        QCOMPARE(::mkfifo(QFile::encodeName(log).constData(), 0600), 0);
    else if (fault == u"folder"_s)
        QVERIFY(QDir().mkdir(log));
    else if (fault == u"permission"_s) {
        if (::geteuid() == 0)
            QSKIP("root reads files whatever their permissions");
        QFile file(log);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.close();
        QVERIFY(file.setPermissions(QFileDevice::WriteOwner));
    }
    MessageRecorder recorder;
    control<QPushButton>(window, "cmd_view_explog")->click();
    QCOMPARE(recorder.texts(),
             QStringList{u"The Export Logfile: "_s + log + u" could not be found"_s});
    QCOMPARE(recorder.boxes[0].title, u"Log View Error:"_s);
}

void TestFaults::inputDuringRunIsDropped() {
    OracleHome home;
    qputenv("TARNHOLD_SLEEP_MS", "400");
    frmMain window;
    window.show();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    fillExport(window, home.dumps());
    auto* sid = control<QLineEdit>(window, "txt_sid_e");
    auto* exportButton = control<QPushButton>(window, "cmd_export");
    auto* importButton = control<QPushButton>(window, "cmd_import");
    auto* exitButton = control<QPushButton>(window, "cmd_exit");
    sid->setFocus();

    int runsStarted = 0;
    connect(exportButton, &QPushButton::clicked, this, [&] { ++runsStarted; });
    bool busyCursor = false;
    bool busyOverConsole = true;
    const auto isBusy = [] {
        return QApplication::overrideCursor() &&
               QApplication::overrideCursor()->shape() == Qt::WaitCursor;
    };
    QTimer::singleShot(100, this, [&] {
        // The windows show that they are busy; the console, which takes input, does not.
        const auto enter = [](QWidget* widget) {
            QEnterEvent event(QPointF(1, 1), QPointF(1, 1), QPointF(1, 1));
            QApplication::sendEvent(widget, &event);
        };
        for (QWidget* console : QApplication::topLevelWidgets()) {
            if (console->objectName() == u"UtilityConsole"_s) {
                enter(console->findChild<QWidget*>(u"txt_console"_s));
                busyOverConsole = isBusy();
            }
        }
        enter(sid);
        busyCursor = isBusy();
        QTest::keyClicks(sid, u"XYZ"_s);
        QTest::mouseClick(exportButton, Qt::LeftButton);
        QTest::mouseClick(importButton, Qt::LeftButton);
        QTest::mouseClick(exitButton, Qt::LeftButton);
    });
    MessageRecorder recorder;
    QTest::mouseClick(exportButton, Qt::LeftButton);
    QCoreApplication::processEvents();

    QVERIFY(busyCursor);
    QVERIFY(!busyOverConsole);
    QCOMPARE(QApplication::overrideCursor(), nullptr);
    QCOMPARE(sid->text(), u"DEMO"_s);
    QCOMPARE(runsStarted, 1);
    QCOMPARE(recorder.boxes.size(), 0); // the import check would have refused
    QVERIFY(window.isVisible());
}

void TestFaults::closeDuringRunIsCarriedOutAfter() {
    OracleHome home;
    qputenv("TARNHOLD_SLEEP_MS", "300");
    frmMain window;
    window.show();
    fillExport(window, home.dumps());
    bool visibleAfterRequest = false;
    QTimer::singleShot(100, this, [&] {
        window.close();
        visibleAfterRequest = window.isVisible();
    });
    const RunOutcome outcome = exportRun(window);
    QVERIFY(visibleAfterRequest);
    QVERIFY(outcome.logOffered);
    QVERIFY(!window.isVisible());
}

QTEST_MAIN(TestFaults)
#include "tst_faults.moc"
