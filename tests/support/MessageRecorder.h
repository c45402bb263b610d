// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/MessageBox.h"

#include <QList>

// Records every message box shown while it lives and answers each at once with its first
// button, so a test sees what the operator would have seen without a box blocking it.
class MessageRecorder {
public:
    MessageRecorder() {
        platform::MessageBox::setInterceptor([this](const platform::MessageBoxRequest& request) {
            boxes.append(request);
            return QMessageBox::Ok;
        });
    }
    ~MessageRecorder() { platform::MessageBox::setInterceptor({}); }
    MessageRecorder(const MessageRecorder&) = delete;
    MessageRecorder& operator=(const MessageRecorder&) = delete;

    QStringList texts() const {
        QStringList result;
        for (const auto& box : boxes)
            result.append(box.text);
        return result;
    }

    QList<platform::MessageBoxRequest> boxes;
};
