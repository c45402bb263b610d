// SPDX-License-Identifier: GPL-3.0-or-later
// The line index behind the log window: lines and pieces found by offset and by number agree
// with the file split at its line ends, whatever the lines' lengths and ends.
#include "support/LogViewTest.h"

#include <QRandomGenerator>

using namespace logtest;

namespace {

// Lines of random lengths up to maxLine, some ended by CR LF, the last without a line end.
QByteArray generated(quint32 seed, qsizetype size, int maxLine) {
    QRandomGenerator random(seed);
    QByteArray content;
    while (content.size() < size) {
        const int length = random.bounded(maxLine + 1);
        for (int i = 0; i < length; ++i)
            content += static_cast<char>(random.bounded(8) == 0 ? ' ' : 'a' + random.bounded(26));
        content += random.bounded(3) == 0 ? "\r\n" : "\n";
    }
    return content + "tail";
}

} // namespace

class TestLineIndex : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void indexMatchesSplit_data();
    void indexMatchesSplit();
};

void TestLineIndex::indexMatchesSplit_data() {
    QTest::addColumn<QByteArray>("content");
    const QByteArray window(LineIndex::WindowBytes, 'w');
    QTest::newRow("empty") << QByteArray();
    QTest::newRow("line feeds only") << QByteArray("\n\n\n");
    QTest::newRow("one line, no line end") << QByteArray("only");
    QTest::newRow("CR without LF stays text") << QByteArray("a\rb\r\nc\r");
    QTest::newRow("short lines over many windows") << generated(1, 300'000, 80);
    QTest::newRow("lines around the piece size")
        << generated(2, 200'000, 3 * LineIndex::PieceBytes);
    QTest::newRow("lines longer than a window")
        << generated(3, 900'000, 3 * LineIndex::WindowBytes);
    QTest::newRow("one line over many windows") << QByteArray(5 * LineIndex::WindowBytes + 7, 'x');
    QTest::newRow("CR LF across the first read")
        << QByteArray(LogDocument::FirstBytes - 1, 'x') + "\r\n" + window + "\r\nend";
    QTest::newRow("pieces exactly full") << QByteArray(LineIndex::PieceBytes, 'p') + "\r\n" +
                                                QByteArray(2 * LineIndex::PieceBytes, 'q') + "\n";
}

void TestLineIndex::indexMatchesSplit() {
    QFETCH(QByteArray, content);
    QTemporaryDir dir;
    const QString path = dir.filePath(u"x.log"_s);
    writeFile(path, content);
    LogDocument document(platform::ReadOnlyFile::open(path));
    document.startIndexing();
    QTRY_VERIFY(!document.isIndexing());

    const QList<QByteArray> lines = content.split('\n');
    QCOMPARE(document.lineCount(), lines.size());
    qint64 piece = 0;
    qint64 start = 0;
    for (qsizetype number = 0; number < lines.size(); ++number) {
        QByteArray line = lines[number];
        const qint64 next = start + line.size() + (number + 1 < lines.size() ? 1 : 0);
        if (number + 1 < lines.size() && line.endsWith('\r'))
            line.chop(1);
        const LogLine found = document.lineOfOffset(start);
        QCOMPARE(found.number, number);
        QCOMPARE(found.start, start);
        QCOMPARE(found.textEnd, start + line.size());
        QCOMPARE(found.next, next);
        QCOMPARE(found.firstPiece, piece);
        QCOMPARE(found.pieces, LineIndex::piecesOf(line.size()));
        QByteArray joined;
        for (qint64 i = 0; i < found.pieces; ++i) {
            const LogPiece part = document.piece(piece + i);
            QCOMPARE(part.firstOfLine, i == 0);
            QCOMPARE(part.lastOfLine, i == found.pieces - 1);
            QCOMPARE(document.lineOfPiece(piece + i).number, number);
            joined += document.bytes(part.start, part.end);
        }
        QCOMPARE(joined, line);
        QCOMPARE(document.offsetOf(document.positionAt(start + line.size())), start + line.size());
        piece += found.pieces;
        start = next;
    }
    QCOMPARE(document.pieceCount(), piece);
}

QTEST_GUILESS_MAIN(TestLineIndex)
#include "tst_lineindex.moc"
