// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/ConsoleProcess.h"
#include "runs/console/TerminalScreen.h"
#include "runs/lines/ProblemColours.h"

#include <QPlainTextEdit>
#include <QStringEncoder>
#include <QTextBlock>
#include <QTimer>

namespace runs::console {

class ConsoleFind;
class GridLayout;

// The text area of a utility's console: what the utility's terminal shows, the last lines of
// it kept, selectable and copyable like any text. Each block is a row of the screen, drawn as it
// is; copying joins the rows the screen wrapped. The rows of problem lines and of the closing
// line are drawn in the problem colours for the text area's background. Keys typed into it go to
// the utility, but for those that move around the text or copy it, Ctrl+F, which opens Find in
// the kept rows, and F8 and Shift+F8, which go from problem line to problem line.
//
// A text document takes new lines cheaply but drops old ones slowly, so under a flood of output
// the view shows only the latest lines, as terminals jump-scroll; once the flood is over, the
// lines before them come back into the document a piece at a time, the window answering all
// the while.
class ConsoleView : public QPlainTextEdit {
    Q_OBJECT
public:
    static constexpr int KeptLines = static_cast<int>(TerminalScreen::KeptLines);

    explicit ConsoleView(QWidget* parent = nullptr);

    // Brings the text up to what the screen holds now. The screen must outlive the view.
    void showScreen(const TerminalScreen& screen);
    void clearScreen();

    // Whether typed keys are handed on; off once the utility has ended.
    void setAcceptsKeys(bool accepts) { m_acceptsKeys = accepts; }
    // The encoding typed and pasted text reaches the utility in.
    void setKeyEncoding(QStringEncoder encoding) { m_keyEncoding = std::move(encoding); }

    // The terminal's size that fits the text area now, and the text area that fits a size.
    platform::ConsoleProcess::Size terminalSize() const;
    QSize sizeForTerminal(platform::ConsoleProcess::Size size) const;

Q_SIGNALS:
    void typed(const QByteArray& keys);
    void terminalSizeChanged(platform::ConsoleProcess::Size size);

protected:
    QMimeData* createMimeDataFromSelection() const override;
    void keyPressEvent(QKeyEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    bool focusNextPrevChild(bool next) override;

private:
    void appendLines(const QStringList& lines, const QString& currentLine);
    void showTail();
    // Puts the screen's rows from first on in place of the document's.
    void showRows(qint64 first);
    // Shows the kept rows afresh after the screen wrapped them anew.
    void showRewrapped();
    // The utility's lines from the one holding block to the end, and the first row of the line
    // that many lines before the end.
    int linesFrom(QTextBlock block) const;
    QTextBlock lineStart(int linesBelow) const;
    void fillHistory();
    void dropOldest(int blocks);
    // Marks the blocks of screen rows from to before end, just put in the text, with what the
    // screen knows of them (see RowBlocks.h), and colours their lines.
    void markRows(qint64 from, qint64 end);
    // Colours every row again, for a new background.
    void repaintRows();
    // Tells the terminal's size when whole cells have changed.
    void tellSize();
    bool isFollowing() const;
    void follow(bool following, int blocksAbove);

    GridLayout* m_grid = nullptr;
    ConsoleFind* m_find = nullptr;
    lines::ProblemColours m_colours;
    platform::ConsoleProcess::Size m_told{0, 0};
    const TerminalScreen* m_screen = nullptr;
    qint64 m_first = 0; // screen line number of the document's first block
    qint64 m_end = 0;   // the lines before this one are in the document
    quint64 m_rewraps = 0;
    QTimer m_history;
    bool m_acceptsKeys = false;
    QStringEncoder m_keyEncoding{QStringConverter::System};
};

} // namespace runs::console
