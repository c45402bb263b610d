#pragma once

#include <QList>
#include <QObject>
#include <QPointer>
#include <QWidget>

namespace runs {

// While a utility runs the windows keep painting but take no input: clicks and keys are
// dropped (not queued for later), the busy cursor shows, and a request to close a window is
// carried out once the scope ends, after the run's closing messages. Only one scope can be
// active at a time.
class BusyScope : public QObject {
    Q_OBJECT
public:
    BusyScope();
    ~BusyScope() override;
    BusyScope(const BusyScope&) = delete;
    BusyScope& operator=(const BusyScope&) = delete;

    static bool isActive() { return s_active; }

    // The utility has ended: input and the normal cursor come back; close requests wait for
    // the end of the scope.
    void releaseInput();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    static bool s_active;
    bool m_inputBlocked = true;
    QList<QPointer<QWidget>> m_closeRequests;
};

} // namespace runs
