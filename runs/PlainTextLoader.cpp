#include "runs/PlainTextLoader.h"

#include <QPlainTextEdit>
#include <QTextCursor>
#include <QTextDocument>

PlainTextLoader::PlainTextLoader(QPlainTextEdit* box) : QObject(box), m_box(box) {
    m_timer.setInterval(0);
    connect(&m_timer, &QTimer::timeout, this, &PlainTextLoader::loadNextPiece);
}

void PlainTextLoader::load(const QString& text) {
    if (isLoading())
        finish();
    const qsizetype firstEnd = pieceEnd(0, text);
    if (firstEnd == text.size()) {
        m_box->setPlainText(text);
        return;
    }
    m_box->setPlainText(text.first(firstEnd));
    m_text = text;
    m_loaded = firstEnd;
    m_wasReadOnly = m_box->isReadOnly();
    m_undoWasEnabled = m_box->document()->isUndoRedoEnabled();
    m_box->setReadOnly(true);
    m_box->document()->setUndoRedoEnabled(false);
    m_timer.start();
}

void PlainTextLoader::loadNextPiece() {
    const qsizetype end = pieceEnd(m_loaded, m_text);
    QTextCursor cursor(m_box->document());
    cursor.movePosition(QTextCursor::End);
    cursor.insertText(m_text.sliced(m_loaded, end - m_loaded));
    m_loaded = end;
    if (m_loaded == m_text.size())
        finish();
}

void PlainTextLoader::finish() {
    m_timer.stop();
    m_text = QString();
    m_loaded = 0;
    m_box->document()->setUndoRedoEnabled(m_undoWasEnabled);
    m_box->setReadOnly(m_wasReadOnly);
}

qsizetype PlainTextLoader::pieceEnd(qsizetype from, const QString& text) {
    if (text.size() - from <= PieceSize)
        return text.size();
    // Only after a line feed: a carriage return and its line feed must stay in one piece, or
    // the document would see two line ends.
    const qsizetype lineFeed = text.indexOf(u'\n', from + PieceSize - 1);
    return lineFeed < 0 ? text.size() : lineFeed + 1;
}
