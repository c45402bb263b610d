#pragma once

#include <QObject>
#include <QString>
#include <QTimer>

class QPlainTextEdit;

// Puts a text into a plain text box a piece of whole lines at a time. The first piece goes in
// at once and the rest follow from the event loop, so a log of a hundred megabytes shows at
// once and the program keeps answering while it fills: a text document takes a few seconds for
// a million lines, however it is set up. While pieces are pending the box is read-only, and the
// loaded text is never on the undo stack.
class PlainTextLoader : public QObject {
    Q_OBJECT
public:
    explicit PlainTextLoader(QPlainTextEdit* box);

    // Replaces the box's text, ending any load still under way.
    void load(const QString& text);
    bool isLoading() const { return m_timer.isActive(); }

    // Characters per piece; a piece runs on to the end of its last line.
    static constexpr qsizetype PieceSize = 512 * 1024;

private:
    void loadNextPiece();
    void finish();
    static qsizetype pieceEnd(qsizetype from, const QString& text);

    QPlainTextEdit* m_box;
    QTimer m_timer;
    QString m_text;
    qsizetype m_loaded = 0;
    bool m_wasReadOnly = false;
    bool m_undoWasEnabled = true;
};
