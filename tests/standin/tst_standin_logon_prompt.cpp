// SPDX-License-Identifier: GPL-3.0-or-later
#include "standin_home.h"

#include <QtTest>

#include <csignal>
#include <poll.h>
#include <pty.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

// exp on a pseudo-terminal of its own, answered as an operator would: a refused logon asks for
// the user name (echoed) and the password (not echoed), three tries in all; the terminal's echo
// comes back after each password, also when a signal ends the run at the password prompt.
class LogonPromptTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void prompted_data();
    void prompted();

private:
    std::unique_ptr<StandinHome> home_;
};

namespace {

constexpr int waitMs = 20000;

// Reads what the terminal shows until text has appeared (or, with an empty text, until the
// program has closed it). False on a timeout.
bool readUntil(int master, QByteArray& shown, const QByteArray& text, qsizetype from) {
    while (text.isEmpty() || shown.indexOf(text, from) < 0) {
        pollfd ready{master, POLLIN, 0};
        if (::poll(&ready, 1, waitMs) <= 0)
            return false;
        char buffer[4096];
        const auto got = ::read(master, buffer, sizeof buffer);
        if (got <= 0)
            return text.isEmpty(); // EIO once the program has ended
        shown.append(buffer, got);
    }
    return true;
}

void type(int master, const QByteArray& text) {
    QCOMPARE(::write(master, text.constData(), static_cast<size_t>(text.size())), text.size());
}

} // namespace

void LogonPromptTest::initTestCase() {
    home_ = std::make_unique<StandinHome>();
    QVERIFY(home_->isValid());
}

void LogonPromptTest::prompted_data() {
    QTest::addColumn<QList<QByteArray>>("answers"); // user, password, user, ...; "^D" ends input
    QTest::addColumn<bool>("signalAtLastPrompt");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QByteArray>("said");

    QTest::newRow("right at the second try")
        << QList<QByteArray>{"scott", "tiger"} << false << 0
        << "Export terminated successfully without warnings."_ba;
    QTest::newRow("another account at the prompt")
        << QList<QByteArray>{"hr", "hr"} << false << 0 << "Connected to DEMO as HR"_ba;
    QTest::newRow("right at the third try")
        << QList<QByteArray>{"scott", "lion", "scott", "tiger"} << false << 0
        << "Export terminated successfully without warnings."_ba;
    QTest::newRow("three wrong")
        << QList<QByteArray>{"scott", "lion", "scott", "puma"} << false << 2
        << "EXP-00005: all allowable logon attempts failed: logon to DEMO denied 3 times; giving up"_ba;
    QTest::newRow("end of input")
        << QList<QByteArray>{"^D"} << false << 2
        << "EXP-00005: all allowable logon attempts failed: logon to DEMO "
           "abandoned at the end of input"_ba;
    QTest::newRow("signal at the password prompt")
        << QList<QByteArray>{"scott"} << true << 2
        << "ORA-01013: user requested cancel of current operation: interrupted by SIGTERM"_ba;
}

void LogonPromptTest::prompted() {
    QFETCH(QList<QByteArray>, answers);
    QFETCH(bool, signalAtLastPrompt);
    QFETCH(int, exitCode);
    QFETCH(QByteArray, said);

    QTemporaryDir dumps;
    const QByteArray program = STANDIN_EXP;
    const QList<QByteArray> args{program, "scott/WRONG@DEMO",
                                 "file=" + QFile::encodeName(dumps.filePath(u"p.dump"_s)),
                                 "log=" + QFile::encodeName(dumps.filePath(u"p.log"_s))};
    QList<QByteArray> environment;
    for (const auto& entry : QProcessEnvironment::systemEnvironment().toStringList())
        environment << entry.toLocal8Bit();
    environment << "ORA_HOME=" + QFile::encodeName(home_->path(QString()));
    std::vector<char*> argv, envp;
    for (const auto& arg : args)
        argv.push_back(const_cast<char*>(arg.constData()));
    for (const auto& entry : environment)
        envp.push_back(const_cast<char*>(entry.constData()));
    argv.push_back(nullptr);
    envp.push_back(nullptr);

    int master = -1;
    const pid_t child = ::forkpty(&master, nullptr, nullptr, nullptr);
    QVERIFY(child >= 0);
    if (child == 0) {
        ::execve(program.constData(), argv.data(), envp.data());
        ::_exit(127);
    }
    QByteArray shown;
    qsizetype answered = 0; // where the next prompt is looked for
    auto awaitPrompt = [&](const QByteArray& prompt) {
        if (!readUntil(master, shown, prompt, answered))
            return false;
        answered = shown.indexOf(prompt, answered) + prompt.size();
        return true;
    };
    for (qsizetype i = 0; i < answers.size(); ++i) {
        QVERIFY2(awaitPrompt(i % 2 == 0 ? "Username: " : "Password: "), shown.constData());
        type(master, answers[i] == "^D" ? "\x04"_ba : answers[i] + '\n');
    }
    if (signalAtLastPrompt) {
        QVERIFY2(awaitPrompt("Password: "), shown.constData());
        ::kill(child, SIGTERM);
    }
    QVERIFY2(readUntil(master, shown, {}, 0), shown.constData());
    termios settings{};
    const bool echoes = ::tcgetattr(master, &settings) == 0 && (settings.c_lflag & ECHO);
    ::close(master);
    int status = 0;
    QCOMPARE(::waitpid(child, &status, 0), child);

    QVERIFY(WIFEXITED(status));
    QCOMPARE(WEXITSTATUS(status), exitCode);
    QVERIFY2(shown.contains(said), shown.constData());
    // The log was opened before the logon: whatever came of it is there, refusals included.
    const auto log = fileBytes(dumps.filePath(u"p.log"_s));
    QVERIFY2(log.contains(said), log.constData());
    QVERIFY(echoes);
    // Each password prompt is followed by nothing but the line end; each user name is echoed.
    for (auto at = shown.indexOf("Password: "); at >= 0; at = shown.indexOf("Password: ", at + 1))
        QVERIFY2(shown.mid(at + 10).startsWith("\r\n"), shown.mid(at).constData());
    for (qsizetype i = 0; i + 1 < answers.size(); i += 2)
        QVERIFY(shown.contains(QByteArray("Username: " + answers[i] + "\r\n")));
}

QTEST_GUILESS_MAIN(LogonPromptTest)
#include "tst_standin_logon_prompt.moc"
