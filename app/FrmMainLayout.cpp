// SPDX-License-Identifier: GPL-3.0-or-later
// Builds the main window's controls at their places, with their captions, labels, tips,
// colours and values at start.
#include "app/FieldLineEdit.h"
#include "app/FrmMain.h"
#include "app/Logo.h"
#include "app/WrappingButton.h"
#include "look/Look.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

#include <limits>

using namespace Qt::Literals::StringLiterals;

namespace {

struct PanelLook {
    QColor text;
    QColor background;
};

const PanelLook exportLook{Qt::white, look::darkBlue};
const PanelLook importLook{Qt::black, look::yellow};

template <typename W> W* place(QWidget* parent, const char* name, const QRect& rect) {
    auto* widget = new W(parent);
    widget->setObjectName(QLatin1StringView(name));
    widget->setGeometry(rect);
    return widget;
}

QLabel* fieldLabel(QWidget* parent, const char* name, const QString& text, int left, int top,
                   const PanelLook& panel) {
    auto* label = place<QLabel>(parent, name, look::twipsRect(left, top, 1095, 255));
    label->setText(text);
    label->setFont(look::verdana(8.25, true));
    look::setColours(label, panel.text, panel.background);
    return label;
}

FieldLineEdit* textBox(QWidget* parent, const char* name, const QRect& rect) {
    auto* box = place<FieldLineEdit>(parent, name, rect);
    // Qt would cut a text box at 32767 characters; the operator's text is kept whole.
    box->setMaxLength(std::numeric_limits<int>::max());
    // The taller boxes read from their top line, as the operator expects of a text area.
    box->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    return box;
}

QCheckBox* checkBox(QWidget* parent, const char* name, const QString& caption, int left, int top,
                    const PanelLook& panel) {
    auto* box = place<QCheckBox>(parent, name, look::twipsRect(left, top, 1335, 255));
    box->setText(caption);
    look::setColours(box, panel.text, panel.background);
    return box;
}

QComboBox* statisticsBox(QWidget* parent, const char* name, const QRect& rect) {
    auto* box = place<QComboBox>(parent, name, rect);
    box->setEditable(true);
    // Typed text is the value; it does not become an item of the list.
    box->setInsertPolicy(QComboBox::NoInsert);
    // Nor is it completed: "c" would become "COMPUTE" when the focus leaves.
    box->setCompleter(nullptr);
    box->addItems({u"ESTIMATE"_s, u"COMPUTE"_s, u"NONE"_s});
    return box;
}

// The label names the combo box for a screen reader, and the text box inside it too.
void labelCombo(QLabel* label, QComboBox* box) {
    label->setBuddy(box);
    box->lineEdit()->setAccessibleName(label->text());
}

QPlainTextEdit* readBackBox(QWidget* parent, const char* name, const QRect& rect,
                            const PanelLook& panel) {
    auto* box = place<QPlainTextEdit>(parent, name, rect);
    box->setTabChangesFocus(true);
    look::setTextAreaColours(box, panel.text, panel.background);
    return box;
}

QPushButton* button(QWidget* parent, const char* name, const QString& caption, const QString& tip,
                    const QRect& rect) {
    auto* push = place<QPushButton>(parent, name, rect);
    push->setText(caption);
    push->setToolTip(tip);
    return push;
}

QPushButton* bigButton(QWidget* parent, const char* name, const QString& caption,
                       const QString& tip, int left, bool bold) {
    auto* push = button(parent, name, caption, tip, look::twipsRect(left, 8040, 1335, 495));
    push->setFont(look::verdana(8.25, bold));
    return push;
}

QLabel* panelTitle(QWidget* parent, const char* name, const QString& text, int left,
                   const PanelLook& panel) {
    auto* title = place<QLabel>(parent, name, look::twipsRect(left, 480, 1815, 615));
    title->setText(text);
    title->setFont(look::verdana(20.25, true));
    look::setColours(title, panel.background == look::darkBlue ? look::yellow : Qt::black,
                     panel.background);
    return title;
}

QFrame* panelShape(QWidget* parent, const char* name, int left, const QColor& colour) {
    auto* shape = place<QFrame>(parent, name, look::twipsRect(left, 1080, 6375, 8535));
    // Fill and border in one colour; a palette costs far less at start-up than a style sheet.
    look::setBackground(shape, colour);
    return shape;
}

} // namespace

void frmMain::createControls() {
    setWindowTitle(u"Tarnhold"_s);
    resize(look::pixels(13290), look::pixels(9825));
    QPalette background = palette();
    background.setColor(QPalette::Window, Qt::white);
    setPalette(background);
    setAutoFillBackground(true);

    Shape1 = panelShape(this, "Shape1", 240, look::darkBlue);
    Shape2 = panelShape(this, "Shape2", 6600, look::yellow);
    Label1 = panelTitle(this, "Label1", u" Export"_s, 240, exportLook);
    Label7 = panelTitle(this, "Label7", u" Import"_s, 6600, importLook);
    Picture1 = place<QLabel>(this, "Picture1", look::twipsRect(11760, 120, 1335, 855));
    Picture1->setPixmap(drawLogo(82, 56));
    Picture1->setAlignment(Qt::AlignCenter);

    createExportPanel();
    createImportPanel();
    createButtons();
    // The panels' backgrounds stand behind everything else.
    Shape1->lower();
    Shape2->lower();
    setExportFields(ExportFields{});
    setImportFields(ImportFields{});
    setFocusOrder();
}

void frmMain::createExportPanel() {
    const PanelLook& p = exportLook;
    auto row = [this, &p](const char* labelName, const QString& label, const char* name, int top,
                          int width) {
        auto* box = textBox(this, name, look::twipsRect(1560, top, width, 285));
        fieldLabel(this, labelName, label, 360, top, p)->setBuddy(box);
        return box;
    };
    txt_sid_e = row("Label2", u"SID"_s, "txt_sid_e", 1320, 2895);
    txt_username_e = row("Label3", u"Username"_s, "txt_username_e", 1680, 2895);
    txt_password_e = row("Label4", u"Password"_s, "txt_password_e", 2040, 2895);
    txt_cr_no = row("Label18", u"CR Number"_s, "txt_cr_no", 2400, 2895);
    txt_directory_e = row("Label19", u"Directory"_s, "txt_directory_e", 2760, 4455);
    txt_exportfile = row("Label6", u"Filename"_s, "txt_exportfile", 3120, 4455);

    chk_full_e = checkBox(this, "chk_full_e", u"Full"_s, 1560, 3480, p);
    chk_direct_e = checkBox(this, "chk_direct_e", u"Direct"_s, 1560, 3840, p);
    chk_grants_e = checkBox(this, "chk_grants_e", u"Grants"_s, 1560, 4200, p);
    chk_indexes_e = checkBox(this, "chk_indexes_e", u"Indexes"_s, 1560, 4560, p);
    chk_rows_e = checkBox(this, "chk_rows_e", u"Rows"_s, 1560, 4920, p);
    chk_consistent_e = checkBox(this, "chk_consistent_e", u"Consistent"_s, 3000, 3480, p);
    chk_compress_e = checkBox(this, "chk_compress_e", u"Compress"_s, 3000, 3840, p);
    chk_constraints_e = checkBox(this, "chk_constraints_e", u"Constraints"_s, 3000, 4200, p);

    txt_buffer_e = row("Label8", u"Buffer"_s, "txt_buffer_e", 5280, 1455);
    cmb_statistics_e =
        statisticsBox(this, "cmb_statistics_e", look::twipsRect(4920, 4920, 1455, 315));
    labelCombo(fieldLabel(this, "Label23", u"Statistics"_s, 3600, 4920, p), cmb_statistics_e);
    txt_feedback_e = textBox(this, "txt_feedback_e", look::twipsRect(4920, 5280, 1455, 285));
    fieldLabel(this, "Label21", u"Feedback"_s, 3600, 5280, p)->setBuddy(txt_feedback_e);
    txt_query_e = textBox(this, "txt_query_e", look::twipsRect(1560, 5640, 4815, 765));
    fieldLabel(this, "Label9", u"Query"_s, 360, 5640, p)->setBuddy(txt_query_e);
    txt_tables_e = row("Label10", u"Tables"_s, "txt_tables_e", 6480, 4815);
    txt_other_e = textBox(this, "txt_other_e", look::twipsRect(1560, 6840, 4815, 1095));
    fieldLabel(this, "Label5", u"Other"_s, 360, 6840, p)->setBuddy(txt_other_e);
    txt_exp_params = readBackBox(this, "txt_exp_params", look::twipsRect(480, 8640, 6015, 975), p);
    txt_exp_params->setAccessibleName(u"Export command line"_s);
}

void frmMain::createImportPanel() {
    const PanelLook& p = importLook;
    auto row = [this, &p](const char* labelName, const QString& label, const char* name, int top,
                          int width) {
        auto* box = textBox(this, name, look::twipsRect(7920, top, width, 285));
        fieldLabel(this, labelName, label, 6720, top, p)->setBuddy(box);
        return box;
    };
    txt_sid_i = row("Label11", u"SID"_s, "txt_sid_i", 1320, 2895);
    txt_username_i = row("Label12", u"Username"_s, "txt_username_i", 1680, 2895);
    txt_password_i = row("Label13", u"Password"_s, "txt_password_i", 2040, 2895);
    txt_directory_i = row("Label20", u"Directory"_s, "txt_directory_i", 2760, 4455);
    txt_importfile = row("Label14", u"Filename"_s, "txt_importfile", 3120, 4455);

    chk_full_i = checkBox(this, "chk_full_i", u"Full"_s, 7920, 3480, p);
    chk_compile_i = checkBox(this, "chk_compile_i", u"Compile"_s, 7920, 3840, p);
    chk_grants_i = checkBox(this, "chk_grants_i", u"Grants"_s, 7920, 4200, p);
    chk_indexes_i = checkBox(this, "chk_indexes_i", u"Indexes"_s, 7920, 4560, p);
    chk_rows_i = checkBox(this, "chk_rows_i", u"Rows"_s, 7920, 4920, p);
    chk_commit_i = checkBox(this, "chk_commit_i", u"Commit"_s, 9360, 3480, p);
    chk_ignore_i = checkBox(this, "chk_ignore_i", u"Ignore"_s, 9360, 3840, p);
    chk_constraints_i = checkBox(this, "chk_constraints_i", u"Constraints"_s, 9360, 4200, p);

    txt_buffer_i = row("Label15", u"Buffer"_s, "txt_buffer_i", 5280, 1455);
    cmb_statistics_i =
        statisticsBox(this, "cmb_statistics_i", look::twipsRect(11280, 4920, 1455, 315));
    labelCombo(fieldLabel(this, "Label24", u"Statistics"_s, 10080, 4920, p), cmb_statistics_i);
    txt_feedback_i = textBox(this, "txt_feedback_i", look::twipsRect(11280, 5280, 1455, 285));
    fieldLabel(this, "Label22", u"Feedback"_s, 10080, 5280, p)->setBuddy(txt_feedback_i);
    txt_tables_i = row("Label16", u"Tables"_s, "txt_tables_i", 6480, 4815);
    txt_other_i = textBox(this, "txt_other_i", look::twipsRect(7920, 6840, 4815, 1095));
    fieldLabel(this, "Label17", u"Other"_s, 6720, 6840, p)->setBuddy(txt_other_i);
    txt_imp_params = readBackBox(this, "txt_imp_params", look::twipsRect(6720, 8640, 6135, 975), p);
    txt_imp_params->setAccessibleName(u"Import command line"_s);
}

void frmMain::createButtons() {
    const QRect small = look::twipsRect(0, 0, 375, 375);
    // The small buttons' captions are abbreviations: a screen reader says their tips instead.
    auto smallButton = [this, small](const char* name, const QString& caption, const QString& tip,
                                     int left, int top) {
        auto* push = button(this, name, caption, tip,
                            small.translated(look::pixels(left), look::pixels(top)));
        push->setAccessibleName(tip);
        return push;
    };
    Command3 = smallButton("Command3", u"AF"_s, u"Generate Autofilename"_s, 6120, 2640);
    cmd_view_explog = smallButton("cmd_view_explog", u"VL"_s, u"View Export Log"_s, 6120, 3120);
    cmd_view_implog = smallButton("cmd_view_implog", u"VL"_s, u"View Import Log"_s, 12480, 3120);
    cmd_copy = smallButton("cmd_copy", u">"_s, u"Copy Fields"_s, 6480, 3960);
    cmd_copyall = smallButton("cmd_copyall", u">>"_s, u"Copy Fields + SID"_s, 6480, 4560);

    Command1 = bigButton(this, "Command1", u"Help"_s, {}, 2280, false);
    Command1->setAccessibleDescription(u"Opens the export help page"_s);
    cmd_export = bigButton(this, "cmd_export", u"Export Now"_s, u"Start the Export"_s, 3720, true);
    cmd_view_params = new WrappingButton(this);
    cmd_view_params->setObjectName(u"cmd_view_params"_s);
    cmd_view_params->setGeometry(look::twipsRect(5160, 8040, 1335, 495));
    cmd_view_params->setText(u"View/set ORA Parameters"_s);
    cmd_view_params->setFont(look::verdana(8.25, false));
    cmd_exit = bigButton(this, "cmd_exit", u"Exit"_s, {}, 6720, false);
    cmd_import = bigButton(this, "cmd_import", u"Import Now"_s, u"Start the Import"_s, 8160, true);
    Command2 = bigButton(this, "Command2", u"Help"_s, {}, 9600, false);
    Command2->setAccessibleDescription(u"Opens the import help page"_s);
}

void frmMain::setFocusOrder() {
    QWidget* const order[] = {
        txt_sid_e, txt_username_e, txt_password_e, txt_cr_no, txt_directory_e, txt_exportfile,
        chk_full_e, chk_direct_e, chk_grants_e, chk_indexes_e, chk_rows_e, chk_consistent_e,
        chk_compress_e, chk_constraints_e, txt_buffer_e, cmb_statistics_e, txt_feedback_e,
        txt_query_e, txt_tables_e, txt_other_e, cmd_export, Command1, cmd_view_params, txt_sid_i,
        txt_username_i, txt_password_i, txt_directory_i, txt_importfile, chk_full_i, chk_compile_i,
        chk_grants_i, chk_indexes_i, chk_rows_i, chk_commit_i, chk_ignore_i, chk_constraints_i,
        txt_buffer_i, cmb_statistics_i, txt_feedback_i, txt_tables_i, txt_other_i, cmd_import,
        Command2, cmd_exit,
        // The small buttons and the read-back boxes come last.
        Command3, cmd_view_explog, cmd_copy, cmd_copyall, cmd_view_implog, txt_exp_params,
        txt_imp_params};
    for (size_t i = 1; i < std::size(order); ++i)
        QWidget::setTabOrder(order[i - 1], order[i]);
}
