// SPDX-License-Identifier: GPL-3.0-or-later
#include "runs/console/ConsoleFind.h"

#include "runs/console/RowBlocks.h"
#include "runs/lines/FindBar.h"

#include <QApplication>
#include <QPlainTextEdit>
#include <QTextBlock>

#include <algorithm>

using namespace Qt::Literals::StringLiterals;

namespace runs::console {

namespace {

// The text as the utility's lines, the rows the screen wrapped joined, a line feed between
// lines, and where each block starts in it and in the document.
struct JoinedLines {
    struct Start {
        qsizetype text = 0;
        int document = 0;
    };
    QString text;
    QList<Start> starts;

    explicit JoinedLines(const QTextDocument* document) {
        for (QTextBlock block = document->begin(); block.isValid(); block = block.next()) {
            starts.append({text.size(), block.position()});
            text += block.text();
            if (!rows::isWrapped(block) && block.next().isValid())
                text += u'\n';
        }
    }

    int toDocument(qsizetype offset) const {
        auto after =
            std::upper_bound(starts.cbegin(), starts.cend(), offset,
                             [](qsizetype at, const Start& start) { return at < start.text; });
        const Start& start = *std::prev(after);
        return start.document + static_cast<int>(offset - start.text);
    }

    qsizetype toText(int position) const {
        auto after =
            std::upper_bound(starts.cbegin(), starts.cend(), position,
                             [](int at, const Start& start) { return at < start.document; });
        const Start& start = *std::prev(after);
        return start.text + (position - start.document);
    }
};

bool isProblem(const QTextBlock& block) {
    return rows::lineClass(block).isProblem();
}

} // namespace

ConsoleFind::ConsoleFind(QPlainTextEdit* view)
    : QObject(view), m_view(view), m_bar(new lines::FindBar(view, u"Find in console"_s)) {
    connect(m_bar, &lines::FindBar::findRequested, this, &ConsoleFind::find);
    connect(m_bar, &lines::FindBar::closed, m_view, [this] { m_view->setFocus(); });
}

void ConsoleFind::open() {
    m_bar->open();
}

void ConsoleFind::forget() {
    m_bar->clearResult();
}

bool ConsoleFind::hasFocus() const {
    return m_bar->isAncestorOf(QApplication::focusWidget());
}

void ConsoleFind::place(const QRect& textArea, int averageCharWidth) {
    const int width = std::min(textArea.width(), 24 * averageCharWidth);
    m_bar->resize(std::max(width, m_bar->sizeHint().width()), m_bar->sizeHint().height());
    m_bar->move(textArea.right() + 1 - m_bar->width(), textArea.y());
}

void ConsoleFind::find(bool backward) {
    const QString needle = m_bar->text();
    if (needle.isEmpty())
        return;
    const JoinedLines lines(m_view->document());
    const QTextCursor cursor = m_view->textCursor();
    const qsizetype from = lines.toText(backward ? cursor.selectionStart() : cursor.selectionEnd());
    // Past the end (or before the start, looking back), the search goes round the text.
    bool wrapped = false;
    qsizetype found = -1;
    if (backward) {
        found = from > 0 ? lines.text.lastIndexOf(needle, from - 1, Qt::CaseInsensitive) : -1;
        if (found < 0) {
            found = lines.text.lastIndexOf(needle, lines.text.size(), Qt::CaseInsensitive);
            wrapped = true;
        }
    } else {
        found = lines.text.indexOf(needle, from, Qt::CaseInsensitive);
        if (found < 0) {
            found = lines.text.indexOf(needle, 0, Qt::CaseInsensitive);
            wrapped = true;
        }
    }
    if (found < 0) {
        m_bar->setResult(u"Not found"_s);
        return;
    }
    if (wrapped)
        m_bar->setResult(u"Wrapped"_s);
    else
        m_bar->setResult({}, u"Found"_s);
    select(lines.toDocument(found), lines.toDocument(found + needle.size()));
}

void ConsoleFind::stepToProblem(bool backward) {
    const QTextDocument* document = m_view->document();
    const QTextBlock here = m_view->textCursor().block();
    // From the line after the caret's (before it, backward) to the text's end, then round it.
    const QTextBlock first =
        backward ? rows::lineStart(here).previous() : rows::lineEnd(here).next();
    const auto step = [backward](const QTextBlock& block) {
        return backward ? block.previous() : block.next();
    };
    QTextBlock found;
    for (QTextBlock block = first; block.isValid() && !found.isValid(); block = step(block)) {
        if (isProblem(block))
            found = block;
    }
    const bool wrapped = !found.isValid();
    for (QTextBlock block = backward ? document->lastBlock() : document->firstBlock();
         !found.isValid() && block.isValid() && block != first; block = step(block)) {
        if (isProblem(block))
            found = block;
    }
    if (!found.isValid()) {
        tellStep(u"No problems"_s);
        return;
    }
    const QTextBlock end = rows::lineEnd(found);
    select(end.position() + end.length() - 1, rows::lineStart(found).position());
    tellStep(wrapped ? u"Wrapped"_s : QString());
}

void ConsoleFind::tellStep(const QString& result) {
    if (result.isEmpty()) {
        if (m_bar->isVisible())
            m_bar->clearResult();
        return;
    }
    m_bar->show();
    m_bar->raise();
    m_bar->setResult(result);
}

void ConsoleFind::select(int anchor, int caret) {
    QTextCursor cursor(m_view->document());
    cursor.setPosition(anchor);
    m_view->setTextCursor(cursor);
    m_view->ensureCursorVisible();
    cursor.setPosition(caret, QTextCursor::KeepAnchor);
    m_view->setTextCursor(cursor);
    m_view->ensureCursorVisible();
}

} // namespace runs::console
