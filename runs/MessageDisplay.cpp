// SPDX-License-Identifier: GPL-3.0-or-later
#include "runs/MessageDisplay.h"

#include "platform/MessageBox.h"

using namespace Qt::Literals::StringLiterals;

int ErrorDisplay(const QString& strType, const QString& strError) {
    platform::MessageBox::show(
        {strType + u" Error:"_s, strError, QMessageBox::Critical, QMessageBox::Ok});
    return 0;
}
