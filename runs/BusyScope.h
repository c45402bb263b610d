// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QList>
#include <QObject>
#include <QPointer>
#include <QWidget>

namespace runs {

// While a utility runs the windows keep painting but take no input: clicks, keys, wheel and
// drops are dropped (not queued for later), the busy cursor shows, and a request to close a
// window is carried out once the scope ends. The utility's console is the exception: it takes
// input and can be closed, and popups opened from it (its context menu) work. Only one scope
// can be active at a time.
class BusyScope : public QObject {
    Q_OBJECT
public:
    explicit BusyScope(QWidget* inputWindow = nullptr);
    ~BusyScope() override;
    BusyScope(const BusyScope&) = delete;
    BusyScope& operator=(const BusyScope&) = delete;

    static bool isActive() { return s_active; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool takesInput(const QObject* watched) const;
    void showBusyCursor(bool busy);

    static bool s_active;
    QPointer<QWidget> m_inputWindow;
    bool m_busyCursor = false;
    QList<QPointer<QWidget>> m_closeRequests;
};

} // namespace runs
