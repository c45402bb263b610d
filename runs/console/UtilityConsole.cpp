// SPDX-License-Identifier: GPL-3.0-or-later
#include "runs/console/UtilityConsole.h"

#include "platform/Environment.h"
#include "platform/NlsEncoding.h"
#include "runs/console/ConsoleView.h"
#include "runs/lines/RunSummary.h"

#include <QCloseEvent>
#include <QVBoxLayout>

using namespace Qt::Literals::StringLiterals;

namespace runs::console {

namespace {

// Output is shown at most this often, so a flood costs a repaint a frame, not a line.
constexpr int RefreshMilliseconds = 16;

// How the utility ended, and what its lines came to when they say anything: "[exp has ended
// with exit status 1: terminated successfully with warnings, 1 problem]".
QString endText(const QString& name, const platform::ProcessEnd& end,
                const lines::RunTally& tally) {
    const QString outcome = QString::fromStdString(lines::endLineTail(tally));
    if (end.bySignal)
        return u"[%1 was ended by signal %2: %3%4]"_s.arg(
            name, QString::number(end.number), platform::signalName(end.number),
            outcome.isEmpty() ? QString() : u", "_s + outcome);
    return u"[%1 has ended with exit status %2%3]"_s.arg(
        name, QString::number(end.number), outcome.isEmpty() ? QString() : u": "_s + outcome);
}

} // namespace

UtilityConsole::UtilityConsole() : m_screen(InitialSize.columns, ConsoleView::KeptLines) {
    setObjectName(u"UtilityConsole"_s);
    setAttribute(Qt::WA_DeleteOnClose);
    m_view = new ConsoleView(this);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_view);
    resize(m_view->sizeForTerminal(InitialSize));

    m_refresh.setSingleShot(true);
    m_refresh.setInterval(RefreshMilliseconds);
    connect(&m_refresh, &QTimer::timeout, this, &UtilityConsole::showPending);
    connect(m_view, &ConsoleView::terminalSizeChanged, this,
            [this](platform::ConsoleProcess::Size size) {
                // Rows wrapped anew are shown at once, so that none is wider than the view.
                if (size.columns != m_screen.columns()) {
                    m_screen.setColumns(size.columns);
                    showPending();
                }
                if (m_process)
                    m_process->resize(size);
            });
}

void UtilityConsole::attach(platform::ConsoleProcess* process, const QString& title,
                            const QString& name) {
    detach();
    m_refresh.stop();
    m_screen.clear();
    // The utility writes and reads its terminal in the character set its NLS_LANG names.
    const QByteArray nlsLang = platform::environmentBytes(u"NLS_LANG"_s).value_or(QByteArray());
    m_decoder.start(nlsLang);
    m_view->setKeyEncoding(platform::nlsEncoder(nlsLang));
    m_view->clearScreen();
    m_name = name;
    m_process = process;
    setWindowTitle(title);
    connect(process, &platform::ConsoleProcess::output, this, &UtilityConsole::takeOutput);
    connect(m_view, &ConsoleView::typed, process, &platform::ConsoleProcess::write);
    m_view->setAcceptsKeys(true);

    if (isMinimized())
        showNormal();
    else
        show();
    raise();
    activateWindow();
    m_view->setFocus();
    // Shown, the text area has its size, and the terminal takes it.
    const platform::ConsoleProcess::Size size = m_view->terminalSize();
    m_screen.setColumns(size.columns);
    process->resize(size);
}

void UtilityConsole::showEnd(const platform::ProcessEnd& end) {
    detach();
    // A character the utility left half-written is shown as bytes that could not be read.
    m_screen.feed(m_decoder.finish());
    m_screen.finishLine();
    m_screen.writeOwnLine(endText(m_name, end, m_screen.tally()));
    showPending();
}

void UtilityConsole::takeOutput(const QByteArray& bytes) {
    m_screen.feed(m_decoder.decode(bytes));
    if (!m_refresh.isActive())
        m_refresh.start();
}

void UtilityConsole::showPending() {
    m_refresh.stop();
    m_view->showScreen(m_screen);
}

void UtilityConsole::detach() {
    m_view->setAcceptsKeys(false);
    if (m_process) {
        disconnect(m_process, nullptr, this, nullptr);
        disconnect(m_view, nullptr, m_process, nullptr);
    }
    m_process = nullptr;
}

void UtilityConsole::closeEvent(QCloseEvent* event) {
    // Closing a terminal hangs up what runs in it.
    if (m_process && m_process->isRunning())
        m_process->hangUp();
    detach();
    event->accept();
}

} // namespace runs::console
