// SPDX-License-Identifier: GPL-3.0-or-later
// The distribution build, on a small program built as the package's program is: it compiles and
// links with what dpkg-buildflags gives and nothing of it reaches a plain build; the installed
// program carries every protection, is stripped as Debian strips, names no folder of the build,
// and is the same bytes when built in another folder.
#include <QDebug>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::Literals::StringLiterals;

namespace {

struct Outcome {
    int exitCode = -1;
    QString output;
};

Outcome run(const QString& program, const QStringList& arguments,
            const QProcessEnvironment& environment = QProcessEnvironment::systemEnvironment()) {
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.setProcessEnvironment(environment);
    process.start(program, arguments);
    if (!process.waitForFinished(120000))
        return {-1, program + u" did not finish: "_s + process.errorString()};
    const int code = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    return {code, QString::fromLocal8Bit(process.readAllStandardOutput())};
}

QByteArray contents(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// One build of the fixture: the program it installed, and what configuring, building and
// installing printed, every command line the build ran among it.
struct Build {
    QString program;
    QString commands;
};

} // namespace

class TestDistributionBuild : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void flags_data();
    void flags();
    void protections_data();
    void protections();
    void folderNames_data();
    void folderNames();
    void sameBytesFromAnotherFolder();

private:
    // Copies the fixture to SOURCE, builds it in FOLDER and installs it with INSTALL_OPTIONS under
    // its NAME.
    bool build(const QString& name, const QString& source, const QString& folder, bool distribution,
               const QStringList& installOptions = {});
    QTemporaryDir m_work;
    QMap<QString, Build> m_builds;
};

bool TestDistributionBuild::build(const QString& name, const QString& source, const QString& folder,
                                  bool distribution, const QStringList& installOptions) {
    const QString fixture = QStringLiteral(SOURCE_DIR) + u"/tests/fixtures/hardened/"_s;
    if (!QDir().mkpath(source))
        return false;
    for (const QString& file : {u"CMakeLists.txt"_s, u"main.cpp"_s}) {
        if (!QFile::exists(source + u'/' + file) &&
            !QFile::copy(fixture + file, source + u'/' + file))
            return false;
    }
    const QString cmake = QStringLiteral(CMAKE_COMMAND);
    const QString prefix = m_work.filePath(name + u"-installed"_s);
    const QList<QStringList> steps = {
        {u"-S"_s, source, u"-B"_s, folder, u"-G"_s, u"Ninja"_s,
         u"-DCMAKE_MAKE_PROGRAM="_s + QStringLiteral(MAKE_PROGRAM),
         u"-DCMAKE_CXX_COMPILER="_s + QStringLiteral(CXX_COMPILER), u"-DCMAKE_BUILD_TYPE=None"_s,
         u"-DTARNHOLD_CMAKE_DIR="_s + QStringLiteral(SOURCE_DIR) + u"/cmake"_s,
         u"-DTARNHOLD_DISTRIBUTION_BUILD="_s + (distribution ? u"ON"_s : u"OFF"_s)},
        {u"--build"_s, folder, u"--verbose"_s},
        QStringList{u"--install"_s, folder, u"--prefix"_s, prefix} + installOptions,
    };
    Build result{prefix + u"/bin/hardened"_s, {}};
    for (const QStringList& step : steps) {
        const Outcome outcome = run(cmake, step);
        result.commands += outcome.output;
        if (outcome.exitCode != 0) {
            qWarning().noquote() << outcome.output;
            return false;
        }
    }
    m_builds.insert(name, result);
    return true;
}

void TestDistributionBuild::initTestCase() {
    QVERIFY(m_work.isValid());
    QVERIFY2(!QStandardPaths::findExecutable(u"readelf"_s).isEmpty(), "readelf is not installed");
    const QString work = m_work.path();
    // The build folder inside the source tree, as scripts/package builds...
    QVERIFY(build(u"hardened"_s, work + u"/one/src"_s, work + u"/one/src/build"_s, true));
    // ...and beside it, deeper down, as a second builder might.
    QVERIFY(build(u"elsewhere"_s, work + u"/two/deeper/src"_s, work + u"/two/out"_s, true));
    QVERIFY(build(u"plain"_s, work + u"/plain/src"_s, work + u"/plain/build"_s, false));
    QVERIFY(build(u"stripped"_s, work + u"/plain/src"_s, work + u"/plain/build"_s, false,
                  {u"--strip"_s}));
}

// Every flag dpkg-buildflags gives with every hardening feature on reaches the distribution
// build's compiler or linker, and none reaches a plain build. Its file-prefix map names the
// folder it runs in, so the maps have rows of their own.
void TestDistributionBuild::flags_data() {
    QTest::addColumn<QString>("build");
    QTest::addColumn<bool>("linking");
    QTest::addColumn<QString>("flag");
    QTest::addColumn<bool>("present");
    const QString dpkg = QStandardPaths::findExecutable(u"dpkg-buildflags"_s);
    QVERIFY2(!dpkg.isEmpty(), "dpkg-buildflags is not installed (dpkg-dev)");
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(u"DEB_BUILD_MAINT_OPTIONS"_s, u"hardening=+all"_s);
    for (const QString& variable : {u"CPPFLAGS"_s, u"CXXFLAGS"_s, u"LDFLAGS"_s}) {
        const Outcome flags = run(dpkg, {u"--get"_s, variable}, environment);
        QCOMPARE(flags.exitCode, 0);
        const bool linking = variable == u"LDFLAGS"_s;
        for (const QString& flag : flags.output.split(u' ', Qt::SkipEmptyParts)) {
            if (flag.startsWith(u"-ffile-prefix-map="_s))
                continue;
            const QByteArray row = (variable + u' ' + flag.trimmed()).toUtf8();
            QTest::addRow("hardened: %s", row.constData())
                << u"hardened"_s << linking << flag.trimmed() << true;
            QTest::addRow("plain: no %s", row.constData())
                << u"plain"_s << linking << flag.trimmed() << false;
        }
    }
    const QString work = m_work.path();
    QTest::newRow("hardened: source folder mapped")
        << u"hardened"_s << false << u"-ffile-prefix-map=%1/one/src=."_s.arg(work) << true;
    QTest::newRow("hardened: build folder mapped")
        << u"hardened"_s << false << u"-ffile-prefix-map=%1/one/src/build=build"_s.arg(work)
        << true;
    QTest::newRow("elsewhere: build folder mapped")
        << u"elsewhere"_s << false << u"-ffile-prefix-map=%1/two/out=build"_s.arg(work) << true;
}

void TestDistributionBuild::flags() {
    QFETCH(QString, build);
    QFETCH(bool, linking);
    QFETCH(QString, flag);
    QFETCH(bool, present);
    // Ninja prints each command it runs; compiling ones name an object to write with -c.
    QStringList commands;
    for (const QString& line : m_builds.value(build).commands.split(u'\n')) {
        const bool compiles = line.contains(u" -c "_s);
        if (line.contains(u" -o "_s) && compiles != linking)
            commands.append(line);
    }
    QVERIFY(!commands.isEmpty());
    for (const QString& command : commands)
        QVERIFY2(command.split(u' ').contains(flag) == present, qPrintable(command));
}

// What Debian's hardening-check and lintian look for in the installed program, read by readelf.
void TestDistributionBuild::protections_data() {
    QTest::addColumn<QString>("build");
    QTest::addColumn<QString>("readelfOption");
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<bool>("present");
    const QString bindNow = u"\\((BIND_NOW|FLAGS\\).*BIND_NOW|FLAGS_1\\).*\\bNOW\\b)"_s;
    QTest::newRow("position independent")
        << u"hardened"_s << u"--file-header"_s << u"Type:\\s+DYN"_s << true;
    QTest::newRow("read-only relocations")
        << u"hardened"_s << u"--program-headers"_s << u"GNU_RELRO"_s << true;
    QTest::newRow("immediate binding") << u"hardened"_s << u"--dynamic"_s << bindNow << true;
    QTest::newRow("stack protector")
        << u"hardened"_s << u"--dyn-syms"_s << u"\\b__stack_chk_fail\\b"_s << true;
    QTest::newRow("fortified functions")
        << u"hardened"_s << u"--dyn-syms"_s << u"\\b__\\w+_chk@"_s << true;
    // Stripped as dh_strip strips: no symbols, no .comment, no .note; the other notes stay.
    QTest::newRow("no symbols") << u"hardened"_s << u"--section-headers"_s << u"\\.symtab\\b"_s
                                << false;
    QTest::newRow("no debugging information")
        << u"hardened"_s << u"--section-headers"_s << u"\\.debug_"_s << false;
    QTest::newRow("no .comment") << u"hardened"_s << u"--section-headers"_s << u"\\s\\.comment\\s"_s
                                 << false;
    QTest::newRow("no .note") << u"hardened"_s << u"--section-headers"_s << u"\\s\\.note\\s"_s
                              << false;
    QTest::newRow("build id kept")
        << u"hardened"_s << u"--section-headers"_s << u"\\.note\\.gnu\\.build-id\\b"_s << true;
    QTest::newRow("properties kept")
        << u"hardened"_s << u"--section-headers"_s << u"\\.note\\.gnu\\.property\\b"_s << true;
    // A plain install keeps what a debugger needs; --strip strips it as Debian does.
    QTest::newRow("plain: symbols kept")
        << u"plain"_s << u"--section-headers"_s << u"\\.symtab\\b"_s << true;
    QTest::newRow("stripped: no symbols")
        << u"stripped"_s << u"--section-headers"_s << u"\\.symtab\\b"_s << false;
    QTest::newRow("stripped: no .comment")
        << u"stripped"_s << u"--section-headers"_s << u"\\s\\.comment\\s"_s << false;
}

void TestDistributionBuild::protections() {
    QFETCH(QString, build);
    QFETCH(QString, readelfOption);
    QFETCH(QString, pattern);
    QFETCH(bool, present);
    const Outcome report =
        run(u"readelf"_s, {u"--wide"_s, readelfOption, m_builds.value(build).program});
    QCOMPARE(report.exitCode, 0);
    const QRegularExpression expression(pattern, QRegularExpression::MultilineOption);
    QVERIFY2(expression.match(report.output).hasMatch() == present, qPrintable(report.output));
}

// The program names its sources by their mapped names, never by the folders they were in.
void TestDistributionBuild::folderNames_data() {
    QTest::addColumn<QString>("build");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("present");
    for (const QString& build : {u"hardened"_s, u"elsewhere"_s}) {
        const QByteArray name = build.toUtf8();
        QTest::addRow("%s: source mapped", name.constData()) << build << u"./main.cpp"_s << true;
        QTest::addRow("%s: generated source mapped", name.constData())
            << build << u"build/generated.cpp"_s << true;
        QTest::addRow("%s: no folder of the build", name.constData())
            << build << m_work.path() << false;
    }
}

void TestDistributionBuild::folderNames() {
    QFETCH(QString, build);
    QFETCH(QString, text);
    QFETCH(bool, present);
    const QByteArray program = contents(m_builds.value(build).program);
    QVERIFY(!program.isEmpty());
    QCOMPARE(program.contains(text.toUtf8()), present);
}

void TestDistributionBuild::sameBytesFromAnotherFolder() {
    const QByteArray one = contents(m_builds.value(u"hardened"_s).program);
    QVERIFY(!one.isEmpty());
    QVERIFY(one == contents(m_builds.value(u"elsewhere"_s).program));
}

QTEST_GUILESS_MAIN(TestDistributionBuild)
#include "tst_distributionbuild.moc"
