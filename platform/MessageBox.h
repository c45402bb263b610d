// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QMessageBox>
#include <QString>

#include <functional>

namespace platform {

// One application-modal message box.
struct MessageBoxRequest {
    QString title;
    QString text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QMessageBox::StandardButtons buttons = QMessageBox::Ok;
};

// Every message box of the program goes through here, so that tests can record a box and
// answer it at once instead of showing it.
class MessageBox {
public:
    using Interceptor = std::function<QMessageBox::StandardButton(const MessageBoxRequest&)>;

    // Shows the box and returns the button that dismissed it.
    static QMessageBox::StandardButton show(const MessageBoxRequest& request);

    // While an interceptor is set, boxes are handed to it and never shown.
    static void setInterceptor(Interceptor interceptor);

private:
    static Interceptor s_interceptor;
};

} // namespace platform
