// SPDX-License-Identifier: GPL-3.0-or-later
// What the log window's suites share: logs written to temporary folders, the open log window,
// keys pressed in the log text box and what it copies.
#pragma once

#include "platform/ReadOnlyFile.h"
#include "runs/logview/FrmLogView.h"
#include "runs/logview/LogDocument.h"
#include "runs/logview/LogTextView.h"
#include "support/WindowTest.h"

#include <QClipboard>
#include <QFile>
#include <QTemporaryDir>

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

inline void writeFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
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

// A shown log of this content, in a window of its own.
struct ShownLog {
    explicit ShownLog(const QByteArray& content) {
        writeFile(path, content);
        window.showLog(u"Export Log"_s, platform::ReadOnlyFile::open(path), path);
        view = logText(window);
        QTRY_VERIFY(!view->isIndexing());
    }
    ~ShownLog() { window.close(); }
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
