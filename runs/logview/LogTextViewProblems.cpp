// SPDX-License-Identifier: GPL-3.0-or-later
// The log's problem lines in a LogTextView: their colours, F8 and Shift+F8, and a click on a
// scroll bar tick.
#include "runs/lines/LineClass.h"
#include "runs/logview/LogFind.h"
#include "runs/logview/LogTextView.h"
#include "runs/logview/ProblemSeek.h"

#include <QTextLayout>

#include <string_view>

using namespace Qt::Literals::StringLiterals;

namespace runs::logview {

namespace {

lines::LineClass classOfText(const QString& text) {
    return lines::classify(
        std::u16string_view(QStringView(text).utf16(), static_cast<size_t>(text.size())));
}

} // namespace

QColor LogTextView::colourOf(const lines::LineClass& line) {
    const QColor base = viewport()->palette().color(QPalette::Base);
    if (base != m_coloursOn) {
        m_colours = lines::problemColours(base);
        m_coloursOn = base;
    }
    return m_colours.colourOf(line);
}

// A line's first piece holds more than the characters that decide its class.
lines::LineClass LogTextView::classOfPiece(qint64 piece,
                                           const std::optional<lines::LineClass>& known) {
    const LogPiece at = m_document->piece(piece);
    if (!at.firstOfLine && known)
        return *known;
    const qint64 first = at.firstOfLine ? piece : m_document->lineOfPiece(piece).firstPiece;
    return classOfText(m_layout.layoutOf(first)->text());
}

void LogTextView::goToProblem(bool backward) {
    keepCurrent();
    m_kept.reset();
    m_find->cancel();
    m_problemWaiting = backward;
    seekWaitingProblem();
}

// From the selection's end looking on, from its start looking back, as Find does: the line F8
// selected is passed over, and the caret alone finds the line it stands at the start of.
void LogTextView::seekWaitingProblem() {
    if (!m_problemWaiting)
        return;
    const bool backward = *m_problemWaiting;
    ProblemFound found;
    if (const auto& file = m_document->file()) {
        const LogPosition from = backward ? m_cursor.selectionStart() : m_cursor.selectionEnd();
        found = seekProblem(*file, m_document->problems().marks, from.piece,
                            m_document->offsetOf(from), backward, !m_document->isIndexing());
    }
    switch (found.result) {
    case ProblemFound::Result::Waiting:
        m_find->showWaiting();
        return;
    case ProblemFound::Result::None:
        m_problemWaiting.reset();
        m_find->tell(u"No problems"_s);
        return;
    case ProblemFound::Result::Wrapped:
        m_find->tell(u"Wrapped"_s);
        break;
    case ProblemFound::Result::Found:
        m_find->untell();
        break;
    }
    selectProblemLine(found.offset);
}

void LogTextView::selectProblemLine(qint64 offset) {
    const LogLine line = m_document->lineOfOffset(offset);
    moveCaretTo(m_document->positionAt(line.textEnd), m_document->positionAt(line.start));
}

void LogTextView::problemClicked(qint64 offset) {
    // The tick marked the log as it was: one written over is shown afresh instead.
    if (keepCurrent())
        return;
    m_find->cancel();
    m_find->untell();
    selectProblemLine(offset);
    setFocus(Qt::MouseFocusReason);
}

} // namespace runs::logview
