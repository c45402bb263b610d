// SPDX-License-Identifier: GPL-3.0-or-later
// The line index behind the log window: lines and pieces found by offset and by number agree
// with the file split at its line ends, whatever the lines' lengths and ends; its size follows
// the file's bytes, not its lines, and a line is found by reading one window. The problem lines
// it finds in the same pass are those a look at each line finds, however the bytes arrive.
#include "runs/lines/LineClass.h"
#include "runs/logview/LineFeeds.h"
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

// Scanned in chunks and handed over in batches, as the indexing thread does.
LineIndex scannedInChunks(const QByteArray& content, qsizetype chunk,
                          LineIndex::Problems problems = LineIndex::Problems::Found) {
    LineIndex index(problems);
    LineIndex scan = LineIndex::continuing(index.tail(), problems);
    for (qsizetype at = 0; at < content.size(); at += chunk) {
        scan.scan(QByteArrayView(content).sliced(at, qMin(chunk, content.size() - at)));
        index.absorb(scan.takeBatch());
    }
    return index;
}

// The problems a look at each line finds, with the pieces and offsets where they start.
LineProblems problemsOf(const QByteArray& content) {
    LineProblems problems;
    qint64 piece = 0;
    qint64 start = 0;
    for (const QByteArray& line : content.split('\n')) {
        problems.add(runs::lines::classify(std::string_view(line.constData(), line.size())), piece,
                     start);
        const qint64 text = line.size() - (line.endsWith('\r') ? 1 : 0);
        piece += LineIndex::piecesOf(text);
        start += line.size() + 1;
    }
    return problems;
}

// Lines of ". . exporting" with a problem line, coded or not, at every `every`-th line.
QByteArray withProblems(int lines, int every) {
    const QByteArray problems[] = {"EXP-00011: SCOTT.BONUS does not exist", "  WARNING: odd",
                                   "\tORA-01017: invalid username/password; logon denied",
                                   "ERROR: no dump"};
    QByteArray content;
    for (int i = 0; i < lines; ++i)
        content += (i % every == every - 1 ? problems[i / every % 4]
                                           : ". . exporting table T" + QByteArray::number(i)) +
                   '\n';
    return content;
}

} // namespace

class TestLineIndex : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void indexMatchesSplit_data();
    void indexMatchesSplit();
    void indexFollowsBytes_data();
    void indexFollowsBytes();
    void findsProblems_data();
    void findsProblems();
    void spansTellProblemStarts_data();
    void spansTellProblemStarts();
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
    const auto indexed = indexedDocument(dir, content);
    const LogDocument& document = *indexed;

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
    const LineIndex index = scannedInChunks(content, chunk);

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
    const auto indexed = indexedDocument(dir, content);
    const LogDocument& document = *indexed;
    for (const qint64 offset : {content.size() / 2, qint64(0), content.size(), content.size() / 3,
                                content.size() / 3 + 1}) {
        const LogLine line = document.lineOfOffset(offset);
        QCOMPARE(line.number, content.left(offset).count('\n'));
        QCOMPARE(line.start, offset == 0 ? 0 : content.lastIndexOf('\n', offset - 1) + 1);
        QCOMPARE(document.lineOfPiece(line.firstPiece).number, line.number);
    }
}

void TestLineIndex::findsProblems_data() {
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<qsizetype>("chunk"); // bytes handed to the scan at a time
    const QByteArray mixed = "EXP-00011: first line\nplain\n  ORA-01017: denied\nWARNING: w\n"
                             "\tERROR: tabbed\nExport terminated successfully with warnings.\n";
    for (const qsizetype chunk : {1, 7, 255, 257, 256 * 1024})
        QTest::addRow("start, middle and end, %lld bytes at a time", qlonglong(chunk))
            << mixed << chunk;
    QTest::newRow("CR LF lines") << QByteArray("EXP-00011: a\r\nplain\r\nWARNING: b\r\n")
                                 << qsizetype(3);
    QTest::newRow("near misses")
        << QByteArray("exp-00011: lower\nEXP-0001: four\nx EXP-00011: inside\n(EXP-00011:\n"
                      ")\n!\nWARNING no colon\n" +
                      QByteArray(130, ' ') + "EXP-00011: past the significant bytes\n")
        << qsizetype(5);
    QTest::newRow("closing line open at the end")
        << QByteArray("IMP-00015: exists\nImport terminated unsuccessfully") << qsizetype(4);
    QTest::newRow("problem open at the end")
        << QByteArray("plain\nEXP-00011: open") << qsizetype(1);
    QTest::newRow("problem after a long line")
        << QByteArray(3 * LineIndex::WindowBytes, 'x') + "\nWARNING: after\n"
        << qsizetype(1000);
    QTest::newRow("problems over many windows and buckets")
        << withProblems(40'000, 7) << qsizetype(256 * 1024);
    QTest::newRow("problems over many windows, odd chunks")
        << withProblems(40'000, 3) << qsizetype(4099);
    QTest::newRow("every line a problem") << withProblems(60'000, 1) << qsizetype(256 * 1024);
    QTest::newRow("short lines, a problem among them")
        << QByteArray("a\n").repeated(5000) + "EXP-00011: x\n" + QByteArray("\n").repeated(5000)
        << qsizetype(256 * 1024);
}

// Scanned in chunks and handed over in batches, and indexed by the document: the same problems,
// the same marks, and the same lines as without them.
void TestLineIndex::findsProblems() {
    QFETCH(QByteArray, content);
    QFETCH(qsizetype, chunk);
    const LineIndex index = scannedInChunks(content, chunk);
    const LineIndex linesOnly = scannedInChunks(content, chunk, LineIndex::Problems::Ignored);
    const LineProblems expected = problemsOf(content);
    QCOMPARE(index.problems().tally, expected.tally);
    QVERIFY(index.problems().marks == expected.marks);
    QCOMPARE(linesOnly.problems(), LineProblems{});
    QCOMPARE(linesOnly.pieceCount(), index.pieceCount());
    QCOMPARE(linesOnly.segmentCount(), index.segmentCount());

    QTemporaryDir dir;
    const auto indexed = indexedDocument(dir, content);
    const LogDocument& document = *indexed;
    QVERIFY(document.problems() == expected);
}

void TestLineIndex::spansTellProblemStarts_data() {
    QTest::addColumn<int>("feed"); // where in the span the line feed stands
    for (const int feed : {0, 14, 15, 16, 31, 32, 63, 64, 200, 255})
        QTest::addRow("line feed at %d", feed) << feed;
}

// Every byte after a line feed, wherever it stands in a span: the 16- and the 32-byte searches
// find the same line feeds, and say a problem may start after each byte that may start one,
// and after no other but the few they take for blanks.
void TestLineIndex::spansTellProblemStarts() {
    QFETCH(int, feed);
    const QByteArray takenForBlanks("\x00\x01\x08\x21\x28\x29", 6);
    for (int byte = 0; byte < 256; ++byte) {
        QByteArray span(257, 'a');
        span[feed] = '\n';
        span[37] = '\n'; // another, followed by a plain byte
        span[feed + 1] = static_cast<char>(byte);
        quint64 expectedWords[4] = {};
        int expectedCount = 0;
        for (int at = 0; at < 256; ++at) {
            if (span[at] == '\n') {
                expectedWords[at / 64] |= quint64(1) << (at % 64);
                ++expectedCount;
            }
        }
        const bool mayStart = linefeeds::mayStartProblem(static_cast<char>(byte));
        QCOMPARE(mayStart, (byte >= 'A' && byte <= 'Z') || byte == ' ' || byte == '\t');
        const bool lookedAt =
            span[feed + 1] == '\n' ? false : mayStart || takenForBlanks.contains(char(byte));
        quint64 words[4] = {};
        const linefeeds::Span found = linefeeds::inSpan(span.constData(), words);
        QCOMPARE(found.count, expectedCount);
        QCOMPARE(std::vector(words, words + 4), std::vector(expectedWords, expectedWords + 4));
        QCOMPARE(found.problemMayStart, lookedAt);
#if defined(TARNHOLD_AVX2_SPANS)
        if (linefeeds::hasAvx2()) {
            quint64 wide[4] = {};
            const linefeeds::Span both = linefeeds::inSpanAvx2(span.constData(), wide);
            QCOMPARE(both.count, found.count);
            QCOMPARE(std::vector(wide, wide + 4), std::vector(words, words + 4));
            QCOMPARE(both.problemMayStart, found.problemMayStart);
        }
#endif
    }
}

QTEST_GUILESS_MAIN(TestLineIndex)
#include "tst_lineindex.moc"
