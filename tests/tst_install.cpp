// SPDX-License-Identifier: GPL-3.0-or-later
// The installed tree: an install into a temporary prefix lays out every file and nothing else,
// the desktop entry, the metainfo and the manual page pass their checkers, the names the desktop
// files give lead to installed files, the documents are the tree's, and the installed program
// finds its help pages and answers --help and --version without a display.
#include "app/HelpPages.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::Literals::StringLiterals;

namespace {

struct Outcome {
    int exitCode = -1;
    QString output;
    QString errors;
};

Outcome run(const QString& program, const QStringList& arguments,
            const QProcessEnvironment& environment = QProcessEnvironment::systemEnvironment()) {
    QProcess process;
    process.setProcessEnvironment(environment);
    process.start(program, arguments);
    if (!process.waitForFinished(60000))
        return {-1, {}, program + u" did not finish: "_s + process.errorString()};
    const int code = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    return {code, QString::fromLocal8Bit(process.readAllStandardOutput()),
            QString::fromLocal8Bit(process.readAllStandardError())};
}

QByteArray contents(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

class TestInstall : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void everyFileInPlace();
    void validators_data();
    void validators();
    void namesLeadToFiles_data();
    void namesLeadToFiles();
    void documents_data();
    void documents();
    void helpPagesFound_data();
    void helpPagesFound();
    void optionsNeedNoDisplay_data();
    void optionsNeedNoDisplay();
    void closedOutputIsNotFatal();

private:
    QString installed(const QString& path) const { return m_prefix.filePath(path); }
    QTemporaryDir m_prefix;
};

void TestInstall::initTestCase() {
    QVERIFY(m_prefix.isValid());
    const Outcome install =
        run(QStringLiteral(CMAKE_COMMAND),
            {u"--install"_s, QStringLiteral(BUILD_DIR), u"--prefix"_s, m_prefix.path()});
    QVERIFY2(install.exitCode == 0, qPrintable(install.output + install.errors));
}

// Only the program and its desktop files: no stand-in utility, no test or benchmark program.
void TestInstall::everyFileInPlace() {
    const QString id = QStringLiteral(TARNHOLD_APP_ID);
    QStringList files;
    QDirIterator it(m_prefix.path(), QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext())
        files.append(QDir(m_prefix.path()).relativeFilePath(it.next()));
    files.sort();
    const QStringList expected = {
        u"bin/tarnhold"_s,
        u"share/applications/"_s + id + u".desktop"_s,
        u"share/doc/tarnhold/changelog.gz"_s,
        u"share/doc/tarnhold/copyright"_s,
        u"share/icons/hicolor/scalable/apps/"_s + id + u".svg"_s,
        u"share/man/man1/tarnhold.1.gz"_s,
        u"share/metainfo/"_s + id + u".metainfo.xml"_s,
        u"share/tarnhold/help/Export.html"_s,
        u"share/tarnhold/help/Import.html"_s,
    };
    QCOMPARE(files, expected);
    QVERIFY(QFileInfo(installed(u"bin/tarnhold"_s)).isExecutable());
}

void TestInstall::validators_data() {
    QTest::addColumn<QString>("validator");
    QTest::addColumn<QStringList>("arguments");
    const QString id = QStringLiteral(TARNHOLD_APP_ID);
    QTest::newRow("desktop entry")
        << u"desktop-file-validate"_s
        << QStringList{installed(u"share/applications/"_s + id + u".desktop"_s)};
    // --no-net: the screenshot's address is not fetched; --strict: warnings fail too.
    QTest::newRow("metainfo") << u"appstreamcli"_s
                              << QStringList{
                                     u"validate"_s, u"--no-net"_s, u"--strict"_s,
                                     installed(u"share/metainfo/"_s + id + u".metainfo.xml"_s)};
    // man prints the page on standard output and what groff complains about on standard error.
    QTest::newRow("manual page") << u"man"_s
                                 << QStringList{u"--warnings"_s, u"-l"_s,
                                                installed(u"share/man/man1/tarnhold.1.gz"_s)};
}

void TestInstall::validators() {
    QFETCH(QString, validator);
    QFETCH(QStringList, arguments);
    const QString program = QStandardPaths::findExecutable(validator);
    QVERIFY2(!program.isEmpty(), qPrintable(validator + u" is not installed"_s));
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(u"MANWIDTH"_s, u"80"_s);
    const Outcome outcome = run(program, arguments, environment);
    QVERIFY2(outcome.exitCode == 0, qPrintable(outcome.output + outcome.errors));
    QVERIFY2(outcome.errors.isEmpty(), qPrintable(outcome.errors));
    // desktop-file-validate exits 0 on hints and warnings; it prints only when it has some.
    if (validator == u"desktop-file-validate"_s)
        QVERIFY2(outcome.output.trimmed().isEmpty(), qPrintable(outcome.output));
}

// A program or icon renamed on one side only leaves the desktop a name that leads nowhere.
void TestInstall::namesLeadToFiles_data() {
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<QString>("target");
    const QString id = QStringLiteral(TARNHOLD_APP_ID);
    const QString entry = u"share/applications/"_s + id + u".desktop"_s;
    const QString metainfo = u"share/metainfo/"_s + id + u".metainfo.xml"_s;
    const QString icon = u"share/icons/hicolor/scalable/apps/%1.svg"_s;
    QTest::newRow("menu entry's program") << entry << u"^Exec=(\\S+)"_s << u"bin/%1"_s;
    QTest::newRow("menu entry's icon") << entry << u"^Icon=(.+)$"_s << icon;
    QTest::newRow("metainfo's menu entry")
        << metainfo << u"<launchable type=\"desktop-id\">([^<]+)<"_s << u"share/applications/%1"_s;
    QTest::newRow("metainfo's icon") << metainfo << u"<icon type=\"stock\">([^<]+)<"_s << icon;
    QTest::newRow("metainfo's program") << metainfo << u"<binary>([^<]+)<"_s << u"bin/%1"_s;
}

void TestInstall::namesLeadToFiles() {
    QFETCH(QString, file);
    QFETCH(QString, pattern);
    QFETCH(QString, target);
    const QRegularExpression expression(pattern, QRegularExpression::MultilineOption);
    const QRegularExpressionMatch match =
        expression.match(QString::fromUtf8(contents(installed(file))));
    QVERIFY2(match.hasMatch(), qPrintable(pattern));
    const QFileInfo found(installed(target.arg(match.captured(1))));
    QVERIFY2(found.isFile(), qPrintable(found.filePath()));
    if (target.startsWith(u"bin/"_s))
        QVERIFY(found.isExecutable());
}

// Each document is its source: the tree's copyright file and release notes, the page help2man
// wrote. Compressed ones are as gzip -9n makes them: best compression, and no file name or time,
// so every build gives the same bytes.
void TestInstall::documents_data() {
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("source");
    const QString tree = QStringLiteral(SOURCE_DIR);
    QTest::newRow("copyright") << u"share/doc/tarnhold/copyright"_s
                               << tree + u"/debian/copyright"_s;
    QTest::newRow("changelog") << u"share/doc/tarnhold/changelog.gz"_s
                               << tree + u"/debian/changelog"_s;
    QTest::newRow("manual page") << u"share/man/man1/tarnhold.1.gz"_s
                                 << QStringLiteral(BUILD_DIR) + u"/man/tarnhold.1"_s;
}

void TestInstall::documents() {
    QFETCH(QString, path);
    QFETCH(QString, source);
    QByteArray text = contents(installed(path));
    if (path.endsWith(u".gz"_s)) {
        // Magic, deflate, no flags, time 0, "slowest, best", Unix.
        QCOMPARE(text.left(10).toHex(), QByteArray("1f8b0800000000000203"));
        const Outcome unpacked = run(u"gzip"_s, {u"-dc"_s, installed(path)});
        QVERIFY2(unpacked.exitCode == 0, qPrintable(unpacked.errors));
        text = unpacked.output.toUtf8();
    }
    QCOMPARE(text, contents(source));
}

void TestInstall::helpPagesFound_data() {
    QTest::addColumn<QString>("page");
    QTest::newRow("export") << u"Export.html"_s;
    QTest::newRow("import") << u"Import.html"_s;
}

void TestInstall::helpPagesFound() {
    QFETCH(QString, page);
    const QString found = QDir::cleanPath(helpPagePath(installed(u"bin"_s), page));
    QCOMPARE(found, installed(u"share/tarnhold/help/"_s + page));
    QCOMPARE(contents(found), contents(QStringLiteral(HELP_SOURCE_DIR) + u'/' + page));
}

void TestInstall::optionsNeedNoDisplay_data() {
    QTest::addColumn<QString>("option");
    QTest::addColumn<QString>("expected");
    const QString version = u"Tarnhold "_s + QStringLiteral(TARNHOLD_VERSION) + u'\n';
    QTest::newRow("--version") << u"--version"_s << version;
    QTest::newRow("--version: licence")
        << u"--version"_s
        << u"\nLicense GPL-3.0-or-later: GNU GPL version 3 or later <https://gnu.org/licenses/gpl.html>\n"_s;
    QTest::newRow("--help") << u"--help"_s << u"-v, --version"_s;
}

void TestInstall::optionsNeedNoDisplay() {
    QFETCH(QString, option);
    QFETCH(QString, expected);
    // A program that reached for a window system here would fail to connect to one.
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove(u"DISPLAY"_s);
    environment.remove(u"WAYLAND_DISPLAY"_s);
    environment.insert(u"QT_QPA_PLATFORM"_s, u"xcb"_s);
    const Outcome outcome = run(installed(u"bin/tarnhold"_s), {option}, environment);
    QVERIFY2(outcome.exitCode == 0, qPrintable(outcome.output + outcome.errors));
    QVERIFY2(outcome.output.contains(expected), qPrintable(outcome.output + outcome.errors));
}

void TestInstall::closedOutputIsNotFatal() {
    // Standard output and error go to a pipe that nobody reads any more.
    int ends[2];
    QCOMPARE(::pipe(ends), 0);
    ::close(ends[0]);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, ends[1], STDOUT_FILENO);
    posix_spawn_file_actions_adddup2(&actions, ends[1], STDERR_FILENO);
    const QByteArray program = QFile::encodeName(installed(u"bin/tarnhold"_s));
    char* argv[] = {const_cast<char*>(program.constData()), const_cast<char*>("--version"),
                    nullptr};
    pid_t pid = 0;
    QCOMPARE(::posix_spawn(&pid, program.constData(), &actions, nullptr, argv, environ), 0);
    posix_spawn_file_actions_destroy(&actions);
    ::close(ends[1]);
    int status = 0;
    QCOMPARE(::waitpid(pid, &status, 0), pid);
    QVERIFY2(WIFEXITED(status), "ended by a signal");
}

QTEST_GUILESS_MAIN(TestInstall)
#include "tst_install.moc"
