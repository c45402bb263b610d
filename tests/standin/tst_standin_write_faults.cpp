// SPDX-License-Identifier: GPL-3.0-or-later
#include "standin_home.h"

#include "standin/dump_reader.h"

#include <QtTest>

#include <sys/resource.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

// Writes that fail under the stand-ins: a file size limit (as a full disk would), a terminal that
// is a pipe nobody reads, a closed descriptor. A failed write is a failure: said on the terminal
// or in the log, non-zero status, no partial file, the earlier dump and the databases unchanged.
// A terminal that cannot be written is a warning: the dump is complete and the log says why.
class WriteFaultsTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void failedWrites_data();
    void failedWrites();

private:
    std::unique_ptr<StandinHome> home_;
};

namespace {

enum class Fault { FileSizeLimit, UnreadPipe, Closed };

// Runs in the child between fork and exec: only async-signal-safe calls.
StandinHome::ChildSetup inject(Fault fault, int value) {
    return [fault, value] {
        if (fault == Fault::FileSizeLimit) {
            const rlimit limit{static_cast<rlim_t>(value), static_cast<rlim_t>(value)};
            ::setrlimit(RLIMIT_FSIZE, &limit);
        } else if (fault == Fault::UnreadPipe) {
            int ends[2];
            if (::pipe(ends) == 0) {
                ::close(ends[0]);
                ::dup2(ends[1], value);
                ::close(ends[1]);
            }
        } else {
            ::close(value);
        }
    };
}

} // namespace

Q_DECLARE_METATYPE(Fault)

void WriteFaultsTest::initTestCase() {
    home_ = std::make_unique<StandinHome>();
    QVERIFY(home_->isValid());
}

void WriteFaultsTest::failedWrites_data() {
    QTest::addColumn<QString>("tool");
    QTest::addColumn<Fault>("fault");
    QTest::addColumn<int>("value"); // bytes of the limit, or the descriptor
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("said"); // a line on stderr when 2, in the log when 1

    const auto exp = u"exp"_s;
    QTest::newRow("log over the size limit")
        << exp << Fault::FileSizeLimit << 300 << 2
        << u"ORA-27072: File I/O error: cannot write the log file"_s;
    QTest::newRow("dump over the size limit")
        << exp << Fault::FileSizeLimit << 8000 << 2
        << u"EXP-00002: error in writing to export file: cannot write"_s;
    QTest::newRow("database over the size limit")
        << u"imp"_s << Fault::FileSizeLimit << 0 << 2
        << u"IMP-00000: Import terminated unsuccessfully"_s;
    QTest::newRow("stdout nobody reads")
        << exp << Fault::UnreadPipe << 1 << 1 << u"standard output cannot be written"_s;
    QTest::newRow("stderr nobody reads")
        << exp << Fault::UnreadPipe << 2 << 1 << u"standard error cannot be written"_s;
    QTest::newRow("stdout closed")
        << exp << Fault::Closed << 1 << 1 << u"standard output cannot be written"_s;
}

void WriteFaultsTest::failedWrites() {
    QFETCH(QString, tool);
    QFETCH(Fault, fault);
    QFETCH(int, value);
    QFETCH(int, exitCode);
    QFETCH(QString, said);

    QTemporaryDir dumps;
    const auto dump = dumps.filePath(u"scott.dump"_s);
    const auto log = dumps.filePath(u"scott.log"_s);
    const auto test = home_->database(u"TEST"_s);
    QCOMPARE(home_->exp({u"scott/tiger@DEMO"_s, u"file="_s + dump}).exitCode, 0);
    const auto earlierDump = fileBytes(dump);
    const auto schemaBefore = schemaObjects(test);
    if (fault == Fault::FileSizeLimit && value == 0)
        value = static_cast<int>(QFileInfo(test).size()); // the database may not grow
    const QStringList args{tool == u"exp"_s ? u"scott/tiger@DEMO"_s : u"scott/tiger@TEST"_s,
                           u"file="_s + dump, u"log="_s + log, u"feedback=10"_s};

    const auto result = tool == u"exp"_s ? home_->exp(args, inject(fault, value))
                                         : home_->imp(args, inject(fault, value));

    QCOMPARE(result.exitCode, exitCode);
    QVERIFY(QDir(dumps.path()).entryList({u"*.partial-*"_s}).isEmpty());
    QCOMPARE(schemaObjects(test), schemaBefore);
    if (exitCode == 2) {
        QVERIFY2(result.err.contains(said.toUtf8()), result.err.constData());
        QVERIFY(fileBytes(dump) == earlierDump);
        return;
    }
    QVERIFY2(QString(u"\n"_s + result.log).contains(u"\nORA-27072: File I/O error: "_s + said),
             qPrintable(result.log));
    QVERIFY(result.log.endsWith(u"Export terminated successfully with warnings.\n"_s));
    try { // complete, and nothing stray written into it
        standin::DumpReader(dump.toStdString()).checkWhole();
    } catch (const standin::Failure& damaged) {
        QFAIL(damaged.what());
    }
}

QTEST_GUILESS_MAIN(WriteFaultsTest)
#include "tst_standin_write_faults.moc"
