// SPDX-License-Identifier: GPL-3.0-or-later
// The console's lines as the operator sees them: the utility's character set, every one read
// byte for byte as the log window reads it.
#include "platform/CharacterSets.h"
#include "platform/NlsEncoding.h"
#include "support/EnvironmentGuard.h"
#include "support/FakeConsole.h"
#include "support/LogViewTest.h"

#include <QClipboard>
#include <QStringDecoder>
#include <QStringEncoder>

class TestConsoleLines : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init() { qunsetenv("NLS_LANG"); }
    void cleanup();
    void readsBytesAsTheLogWindow_data();
    void readsBytesAsTheLogWindow();

private:
    EnvironmentGuard m_environment{{u"NLS_LANG"_s}};
};

void TestConsoleLines::cleanup() {
    closeConsoles();
    QTRY_VERIFY(noWindowLeft());
}

void TestConsoleLines::readsBytesAsTheLogWindow_data() {
    QTest::addColumn<QByteArray>("set");
    QTest::addColumn<bool>("byteByByte");
    for (const platform::CharacterSet& set : platform::CharacterSets) {
        for (const bool byteByByte : {false, true})
            QTest::addRow("%s, %s", set.database.data(), byteByByte ? "a byte a read" : "whole")
                << QByteArray(set.database.data()) << byteByByte;
    }
}

// Every byte from 0x80 up alone between blanks, then pairs of which the first starts a
// character in some sets and the second cannot go on with it: the console shows each as the
// log window does, one replacement character for each byte that starts no character, also when
// a character comes in pieces. Only the C1 controls, which a terminal acts on, are not drawn.
void TestConsoleLines::readsBytesAsTheLogWindow() {
    QFETCH(QByteArray, set);
    QFETCH(bool, byteByByte);
    QByteArray line;
    for (int byte = 0x80; byte <= 0xff; ++byte)
        line += char(byte) + QByteArray(" ");
    line += "\xe2\x82 \x8e\xa0 \xed\xa0 \x81\x30\x81 ";
    const QString nlsLang = u"AMERICAN_AMERICA."_s + QString::fromLatin1(set);
    // Characters of the set, of one byte and of several, where it has them.
    const QByteArray encoding = platform::nlsEncodingName(nlsLang.toLatin1());
    for (const QString& character : u"ü 東 京 한 국 中 文 € \U0001F600"_s.split(u' ')) {
        QStringEncoder encoder(encoding.isEmpty() ? "UTF-8" : encoding.constData());
        QStringDecoder decoder(encoding.isEmpty() ? "UTF-8" : encoding.constData());
        const QByteArray bytes = encoder.encode(character);
        if (!encoder.hasError() && QString(decoder.decode(bytes)) == character)
            line += bytes + ' ';
    }
    line += "end";
    QString logWindow;
    {
        logtest::ShownLog log(line + "\n", nlsLang);
        logWindow = logtest::drawnText(log.view->document()).section(u'\n', 0, 0);
    }
    logWindow.removeIf([](QChar c) { return c.unicode() >= 0x80 && c.unicode() < 0xa0; });

    platform::setEnvironmentValue(u"NLS_LANG"_s, nlsLang);
    FakeConsole fake;
    platform::setEnvironmentValue(u"NLS_LANG"_s, {});
    if (byteByByte) {
        for (const char byte : std::as_const(line))
            Q_EMIT fake.terminal.output(QByteArray(1, byte));
    } else {
        Q_EMIT fake.terminal.output(line);
    }
    fake.console->showEnd({});
    fake.view->selectAll();
    QTest::keyClick(fake.view, Qt::Key_C, Qt::ControlModifier | Qt::ShiftModifier);
    const QString console = QApplication::clipboard()->text().section(u'\n', 0, 0);
    // Where they part, if they do.
    qsizetype same = 0;
    while (same < console.size() && same < logWindow.size() && console[same] == logWindow[same])
        ++same;
    QCOMPARE(std::pair(same, console.sliced(same)), std::pair(same, logWindow.sliced(same)));
}

QTEST_MAIN(TestConsoleLines)
#include "tst_consolelines.moc"
