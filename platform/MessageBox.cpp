// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/MessageBox.h"

namespace platform {

MessageBox::Interceptor MessageBox::s_interceptor;

QMessageBox::StandardButton MessageBox::show(const MessageBoxRequest& request) {
    if (s_interceptor)
        return s_interceptor(request);
    QMessageBox box(request.icon, request.title, request.text, request.buttons);
    box.setWindowModality(Qt::ApplicationModal);
    const int answer = box.exec();
    return static_cast<QMessageBox::StandardButton>(answer);
}

void MessageBox::setInterceptor(Interceptor interceptor) {
    s_interceptor = std::move(interceptor);
}

} // namespace platform
