// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "runs/logview/LogLayout.h"

#include <QList>
#include <QString>

namespace runs::logview {

// The text of the log as a screen reader gets it: the whole log when it is small, else the
// pieces around the view, a few screens either side, so that a gigabyte costs what a page
// does. Lines are joined by line feeds. Offsets count the characters of this text and stay
// the same while the view moves within it; it moves only when the view leaves it.
class LogAccessibleText {
public:
    // A log indexed whole within this size is offered whole.
    static constexpr qint64 WholeBytes = 1024 * 1024;
    // Screens of text offered before and after the one on view.
    static constexpr int ScreensAround = 3;

    explicit LogAccessibleText(const LogLayout& layout) : m_layout(layout) {}

    // The log changed: the text is built anew when next asked for.
    void invalidate() { m_stale = true; }
    // Makes the text hold the rows from `top` on; true when that changed it.
    bool follow(LogRow top, int rows);

    const QString& text() const { return m_text; }
    qint64 endPiece() const { return m_first + m_pieces.size(); }
    bool holds(const LogPosition& position) const;
    // The offset of a place; one before or after the text is its start or end.
    int offsetOf(const LogPosition& position) const;
    LogPosition positionAt(int offset) const;

private:
    struct Span {
        int start = 0;
        int length = 0;
    };
    void build(qint64 first, qint64 end);

    const LogLayout& m_layout;
    bool m_stale = true;
    qint64 m_first = 0;
    QList<Span> m_pieces;
    QString m_text;
};

} // namespace runs::logview
