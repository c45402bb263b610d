// SPDX-License-Identifier: GPL-3.0-or-later
// What a LogTextView tells screen readers: the text it offers them, and its moves.
#include "runs/logview/LogAccessible.h"
#include "runs/logview/LogTextView.h"

#include <QAccessible>

namespace runs::logview {

const LogAccessibleText& LogTextView::offeredText() {
    keepCurrent();
    m_offered.follow(m_top, visibleRows());
    return m_offered;
}

// Only once assistive technology has asked for the box: the offered text costs a few screens of
// decoding.
void LogTextView::tellReaders() {
    // A log shown afresh has told them already.
    if (!m_readerAsked || keepCurrent())
        return;
    const QString before = m_offered.text();
    const bool moved = m_offered.follow(m_top, visibleRows());
    if (moved) {
        // As a terminal does with its scrollback: the old text goes, the new one comes.
        if (!before.isEmpty()) {
            QAccessibleTextRemoveEvent removed(this, 0, before);
            LogAccessible::announce(&removed);
        }
        if (!m_offered.text().isEmpty()) {
            QAccessibleTextInsertEvent inserted(this, 0, m_offered.text());
            LogAccessible::announce(&inserted);
        }
    }
    const LogPosition& caret = m_cursor.caret();
    const LogPosition& anchor = m_cursor.anchor();
    if (!moved && caret == m_toldCaret && anchor == m_toldAnchor)
        return;
    const int caretOffset = m_offered.offsetOf(caret);
    if (moved || m_cursor.hasSelection() || m_toldAnchor != m_toldCaret) {
        QAccessibleTextSelectionEvent selection(this, m_offered.offsetOf(m_cursor.selectionStart()),
                                                m_offered.offsetOf(m_cursor.selectionEnd()));
        selection.setCursorPosition(caretOffset);
        LogAccessible::announce(&selection);
    }
    QAccessibleTextCursorEvent moveEvent(this, caretOffset);
    LogAccessible::announce(&moveEvent);
    m_toldCaret = caret;
    m_toldAnchor = anchor;
}

} // namespace runs::logview
