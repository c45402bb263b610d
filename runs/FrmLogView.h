#pragma once

#include <QWidget>

class PlainTextLoader;
class QLineEdit;
class QPlainTextEdit;

// The window that shows a utility's log: a heading, the log's path and its whole text. It is
// a top-level window of its own, so it stays open when the main window closes.
class frmLogView : public QWidget {
    Q_OBJECT
public:
    frmLogView();

    // Fills the window with a log and brings it to the front.
    void showLog(const QString& heading, const QString& text, const QString& path);

private:
    QLineEdit* txt_title = nullptr;
    QLineEdit* txt_filename = nullptr;
    QPlainTextEdit* txt_logtext = nullptr;
    PlainTextLoader* m_loader = nullptr;
};
