// SPDX-License-Identifier: GPL-3.0-or-later
#include "runs/logview/FrmLogView.h"

#include "look/Look.h"
#include "platform/Environment.h"
#include "platform/ReadOnlyFile.h"
#include "runs/logview/LogSummaryLabel.h"
#include "runs/logview/LogTextView.h"

#include <QLineEdit>

using namespace Qt::Literals::StringLiterals;

namespace runs::logview {

frmLogView::frmLogView() {
    setObjectName(u"frmLogView"_s);
    setWindowTitle(u"Log View"_s);
    setAttribute(Qt::WA_DeleteOnClose);
    resize(761, 730);
    look::setBackground(this, look::darkBlue);

    txt_title = new QLineEdit(this);
    txt_title->setObjectName(u"txt_title"_s);
    txt_title->setAccessibleName(u"Log heading"_s);
    txt_title->setGeometry(look::twipsRect(240, 240, 4095, 615));
    txt_title->setFont(look::verdana(20.25, true));
    look::setTextAreaColours(txt_title, look::lightYellow, look::darkBlue);

    txt_filename = new QLineEdit(u"Text1"_s, this);
    txt_filename->setObjectName(u"txt_filename"_s);
    txt_filename->setAccessibleName(u"Log file"_s);
    txt_filename->setGeometry(look::twipsRect(4560, 480, 6735, 375));
    look::setTextAreaColours(txt_filename, look::yellow, look::darkBlue);

    txt_logtext = new LogTextView(this);
    txt_logtext->setObjectName(u"txt_logtext"_s);
    txt_logtext->setAccessibleName(u"Log text"_s);
    txt_logtext->setGeometry(look::twipsRect(240, 960, 11055, 9855));

    // Above the file name, beside the heading: the only free room that keeps the controls
    // where they are.
    lbl_summary = new LogSummaryLabel(txt_logtext, look::lightYellow, this);
    lbl_summary->setGeometry(look::twipsRect(4560, 165, 6735, 285));

    QWidget::setTabOrder(txt_logtext, txt_filename);
    QWidget::setTabOrder(txt_filename, txt_title);
    // The window opens with the focus in the log, the first place of its focus order.
    txt_logtext->setFocus();
}

void frmLogView::showLog(const QString& heading, std::shared_ptr<platform::ReadOnlyFile> log,
                         const QString& path) {
    txt_title->setText(heading);
    // The utilities write their log in the character set NLS_LANG names as it stands now.
    txt_logtext->showFile(std::move(log),
                          lines::TextEncoding::ofNlsLang(
                              platform::environmentBytes(u"NLS_LANG"_s).value_or(QByteArray())));
    txt_filename->setText(path);
    show();
    raise();
    activateWindow();
}

} // namespace runs::logview
