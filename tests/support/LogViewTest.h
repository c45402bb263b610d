// SPDX-License-Identifier: GPL-3.0-or-later
// What the log window's suites share: logs written to temporary folders, the open log window,
// keys pressed in the log text box and what it copies.
#pragma once

#include "platform/Environment.h"
#include "platform/ReadOnlyFile.h"
#include "runs/logview/FrmLogView.h"
#include "runs/logview/LogDocument.h"
#include "runs/logview/LogTextView.h"
#include "support/WindowTest.h"

#include <QAccessible>
#include <QClipboard>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QTemporaryDir>

#include <memory>

using namespace Qt::Literals::StringLiterals;

namespace logtest {

using namespace runs::logview;

// A log of many indexing windows with CR LF line ends, as the utility writes on Windows, so
// most of it is indexed by the background thread.
inline QByteArray largeLog(const QByteArray& table) {
    QByteArray content;
    for (int i = 0; content.size() < 3 * LogDocument::FirstBytes; ++i)
        content += ". . exporting table " + table + QByteArray::number(i) + "   " +
                   QByteArray::number(i * 7) + " rows exported\r\n";
    return content;
}

// Numbered lines of the same length, the last without a line feed.
inline QByteArray numberedLines(int count) {
    QByteArray content;
    for (int i = 0; i < count; ++i)
        content += "line " + QByteArray::number(i).rightJustified(6, '0') + " of the log\n";
    content.chop(1);
    return content;
}

// The text the box offers a screen reader.
inline QAccessibleTextInterface* textOf(LogTextView* view) {
    QAccessibleInterface* face = QAccessible::queryAccessibleInterface(view);
    return face ? face->textInterface() : nullptr;
}

inline void writeFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

// A document of this content, written to a file in the folder and indexed whole.
inline std::unique_ptr<LogDocument> indexedDocument(const QTemporaryDir& dir,
                                                    const QByteArray& content) {
    const QString path = dir.filePath(u"x.log"_s);
    writeFile(path, content);
    auto document = std::make_unique<LogDocument>(platform::ReadOnlyFile::open(path));
    document->startIndexing();
    [&] { QTRY_VERIFY(!document->isIndexing()); }();
    return document;
}

inline frmLogView* openLogWindow() {
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (widget->objectName() == u"frmLogView"_s && widget->isVisible())
            return qobject_cast<frmLogView*>(widget);
    }
    return nullptr;
}

inline LogTextView* logText(const QWidget& window) {
    return control<LogTextView>(window, "txt_logtext");
}

inline void press(QWidget* widget, const QString& keys) {
    for (const QString& key : keys.split(u' ', Qt::SkipEmptyParts))
        QTest::keySequence(widget, QKeySequence::fromString(key));
}

// What the operator gets by pressing the keys and copying; a null text when nothing was copied.
inline QString copied(LogTextView* view, const QString& keys) {
    const QString untouched = u"(nothing copied)"_s;
    QApplication::clipboard()->setText(untouched);
    press(view, keys + u" Ctrl+C"_s);
    const QString text = QApplication::clipboard()->text();
    return text == untouched ? QString() : text;
}

// The shown log as a whole, once it is indexed.
inline QString shownText(const QWidget& window) {
    LogTextView* view = logText(window);
    [&] { QTRY_VERIFY(!view->isIndexing()); }();
    return copied(view, u"Ctrl+A"_s);
}

// The text the box draws: every piece's text, a line feed between lines.
inline QString drawnText(const LogDocument& document) {
    QString text;
    for (qint64 number = 0; number < document.pieceCount(); ++number) {
        const LogPiece piece = document.piece(number);
        if (piece.firstOfLine && number > 0)
            text += u'\n';
        text += document.text(piece);
    }
    return text;
}

// A shown log of this content, in a window of its own, read in the character set an NLS_LANG
// value names when one is given.
struct ShownLog {
    explicit ShownLog(const QByteArray& content, const QString& nlsLang = {}) {
        writeFile(path, content);
        if (!nlsLang.isEmpty())
            platform::setEnvironmentValue(u"NLS_LANG"_s, nlsLang);
        window.showLog(u"Export Log"_s, platform::ReadOnlyFile::open(path), path);
        if (!nlsLang.isEmpty())
            platform::setEnvironmentValue(u"NLS_LANG"_s, {});
        view = logText(window);
        QTRY_VERIFY(!view->isIndexing());
    }
    ~ShownLog() { window.close(); }
    ShownLog(const ShownLog&) = delete;
    ShownLog& operator=(const ShownLog&) = delete;

    // Looks for the text with the find bar; the status it ends with.
    QString find(const QString& needle, const QString& keys = u"Return"_s) const {
        press(view, u"Ctrl+F"_s);
        auto* field = control<QLineEdit>(*view, "txt_find");
        field->setText(needle);
        auto* status = control<QLabel>(*view, "lbl_find_status");
        for (const QString& key : keys.split(u' ')) {
            press(field, key);
            [&] { QTRY_VERIFY(status->text() != u"Searching\u2026"_s); }();
        }
        return status->text();
    }

    QTemporaryDir dir;
    QString path = dir.filePath(u"x.dump.log"_s);
    frmLogView& window = *new frmLogView;
    LogTextView* view = nullptr;
};

// The point of a character column on a row of the box, counted from its top.
inline QPoint rowPoint(const LogTextView* view, int row, int column) {
    const QFontMetrics metrics = view->fontMetrics();
    return {4 + column * metrics.horizontalAdvance(u'x'), 4 + row * metrics.lineSpacing() + 2};
}

} // namespace logtest
