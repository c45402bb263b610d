// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "runs/console/ConsoleView.h"
#include "runs/console/UtilityConsole.h"

using runs::console::ConsoleView;
using runs::console::UtilityConsole;
#include "support/WindowTest.h"

#include <QElapsedTimer>
#include <QTimer>

#include <functional>

inline UtilityConsole* openConsole() {
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (widget->objectName() == QLatin1StringView("UtilityConsole") && widget->isVisible())
            return static_cast<UtilityConsole*>(widget);
    }
    return nullptr;
}

inline ConsoleView* consoleView() {
    UtilityConsole* console = openConsole();
    return console ? control<ConsoleView>(*console, "txt_console") : nullptr;
}

inline QString consoleText() {
    ConsoleView* view = consoleView();
    return view ? view->toPlainText() : QString();
}

// Plays the operator while a run holds the test: each step waits until its text shows in the
// console, then acts. A utility that never shows it is hung up after a while, so a broken
// console fails the test instead of hanging it.
class ConsoleOperator : public QObject {
public:
    using Action = std::function<void(ConsoleView*)>;

    void expect(const QString& text, Action action) { m_steps.append({text, std::move(action)}); }

    void start() {
        m_timer.callOnTimeout(this, &ConsoleOperator::step);
        m_timer.start(10);
        m_deadline.start();
    }

    bool finished() const { return m_steps.isEmpty(); }

private:
    void step() {
        ConsoleView* view = consoleView();
        while (view && !m_steps.isEmpty() && view->toPlainText().contains(m_steps.front().first))
            m_steps.takeFirst().second(view);
        if (m_steps.isEmpty() || m_deadline.hasExpired(20000)) {
            m_timer.stop();
            if (UtilityConsole* console = openConsole(); console && !m_steps.isEmpty())
                console->close();
        }
    }

    QList<std::pair<QString, Action>> m_steps;
    QTimer m_timer;
    QElapsedTimer m_deadline;
};

inline void type(ConsoleView* view, const QString& text) {
    QTest::keyClicks(view, text);
    QTest::keyClick(view, Qt::Key_Return);
}
