// SPDX-License-Identifier: GPL-3.0-or-later
// The line index behind the log window: lines and pieces found by offset and by number agree
// with the file split at its line ends, whatever the lines' lengths and ends; its size follows
// the file's bytes, not its lines, and a line is found by reading one window.
#include "runs/logview/LineIndex.h"
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

QByteArray repeated(const QByteArray& line, qsizetype size) {
    return line.repeated(size / line.size() + 1).left(size);
}

// The checkpoints a count made line by line gives: one at each line start that lies a window or
// more past the previous checkpoint.
QList<LineCheckpoint> expectedCheckpoints(const QByteArray& content) {
    QList<LineCheckpoint> points{LineCheckpoint{}};
    qint64 lines = 0;
    qint64 pieces = 0;
    qint64 start = 0;
    for (qsizetype at = content.indexOf('\n'); at >= 0; at = content.indexOf('\n', at + 1)) {
        const qint64 text = at - start - (at > start && content[at - 1] == '\r' ? 1 : 0);
        pieces += LineIndex::piecesOf(text);
        ++lines;
        start = at + 1;
        if (start - points.last().offset >= LineIndex::WindowBytes)
            points.append({start, lines, pieces});
    }
    return points;
}

} // namespace

class TestLineIndex : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void indexMatchesSplit_data();
    void indexMatchesSplit();
    void indexFollowsBytes_data();
    void indexFollowsBytes();
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

void TestLineIndex::indexFollowsBytes_data() {
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<qsizetype>("chunk"); // bytes handed to the scan at a time
    const qsizetype size = 1 << 20;
    QTest::newRow("empty lines") << QByteArray(size, '\n') << qsizetype(256 * 1024);
    QTest::newRow("empty lines, odd chunks") << QByteArray(size, '\n') << qsizetype(1000);
    QTest::newRow("empty CR LF lines") << repeated("\r\n", size) << qsizetype(4097);
    QTest::newRow("one-byte lines") << repeated("x\n", size) << qsizetype(65);
    QTest::newRow("short lines") << repeated("a short line\n", size) << qsizetype(256 * 1024);
    QTest::newRow("lines of a piece and a byte")
        << repeated(QByteArray(LineIndex::PieceBytes + 1, 'p') + '\n', size) << qsizetype(3000);
    QTest::newRow("lines just under a window")
        << repeated(QByteArray(LineIndex::WindowBytes - 2, 'w') + "\r\n", size)
        << qsizetype(256 * 1024);
    QTest::newRow("one line") << QByteArray(size, 'x') << qsizetype(256 * 1024);
    QTest::newRow("long and empty lines mixed")
        << repeated(QByteArray(3 * LineIndex::PieceBytes, 'm') + QByteArray(5000, '\n'), size)
        << qsizetype(7777);
}

void TestLineIndex::indexFollowsBytes() {
    QFETCH(QByteArray, content);
    QFETCH(qsizetype, chunk);
    // Scanned in chunks and handed over in batches, as the indexing thread does.
    LineIndex index;
    LineIndex scan = LineIndex::continuing(index.tail());
    for (qsizetype at = 0; at < content.size(); at += chunk) {
        scan.scan(QByteArrayView(content).sliced(at, qMin(chunk, content.size() - at)));
        index.absorb(scan.takeBatch());
    }

    QCOMPARE(index.end(), content.size());
    QCOMPARE(index.lineCount(), content.count('\n') + 1);
    const QList<LineCheckpoint> expected = expectedCheckpoints(content);
    QCOMPARE(index.segmentCount(), expected.size());
    QVERIFY(index.segmentCount() <= content.size() / LineIndex::WindowBytes + 1);
    for (qsizetype segment = 0; segment < expected.size(); ++segment) {
        const LineCheckpoint& point = index.checkpoint(segment);
        QCOMPARE(point.offset, expected[segment].offset);
        QCOMPARE(point.line, expected[segment].line);
        QCOMPARE(point.piece, expected[segment].piece);
        // Every line of the segment starts within one window of its checkpoint.
        const qint64 next =
            segment + 1 < expected.size() ? expected[segment + 1].offset - 1 : content.size();
        const qint64 lastStart = content.lastIndexOf('\n', next - 1) + 1;
        QVERIFY(qMax(lastStart, point.offset) - point.offset < LineIndex::WindowBytes);
    }

    // The document finds lines through the index, asked for in no particular order.
    QTemporaryDir dir;
    const QString path = dir.filePath(u"x.log"_s);
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(content);
    file.close();
    LogDocument document(platform::ReadOnlyFile::open(path));
    document.startIndexing();
    QTRY_VERIFY(!document.isIndexing());
    for (const qint64 offset : {content.size() / 2, qint64(0), content.size(), content.size() / 3,
                                content.size() / 3 + 1}) {
        const LogLine line = document.lineOfOffset(offset);
        QCOMPARE(line.number, content.left(offset).count('\n'));
        QCOMPARE(line.start, offset == 0 ? 0 : content.lastIndexOf('\n', offset - 1) + 1);
        QCOMPARE(document.lineOfPiece(line.firstPiece).number, line.number);
    }
}

QTEST_GUILESS_MAIN(TestLineIndex)
#include "tst_lineindex.moc"
