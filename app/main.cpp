// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/FrmMain.h"
#include "app/Logo.h"
#include "platform/BrokenPipes.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QIcon>

#include <cstdio>

using namespace Qt::Literals::StringLiterals;

namespace {

// "--help" and "--version" print and end the program before any window system is touched, so
// they work without a display. Every other argument is left to Qt (-platform, -style, ...);
// the program itself reads none.
bool answeredOption(int argc, char* argv[]) {
    if (argc < 2)
        return false;
    QCoreApplication core(argc, argv);
    QCommandLineParser parser;
    // Qt's own one-dash options such as -reverse are words, not bundles of letters.
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    parser.setApplicationDescription(
        u"Drives the database's export and import utilities exp and imp from one window.\n"
        "The utilities are started from $ORA_HOME/bin; NLS_LANG must be set too."_s);
    // A help option of our own: Qt's adds --help-all, whose text only Qt's exiting process()
    // can print.
    const QCommandLineOption help({u"h"_s, u"help"_s}, u"Displays this help."_s);
    parser.addOption(help);
    const QCommandLineOption version = parser.addVersionOption();
    parser.parse(QCoreApplication::arguments());
    if (parser.isSet(help))
        std::fputs(qPrintable(parser.helpText()), stdout);
    else if (parser.isSet(version))
        std::printf("%s %s\nCopyright (C) %s.\n%s\n",
                    qPrintable(QCoreApplication::applicationName()),
                    qPrintable(QCoreApplication::applicationVersion()), TARNHOLD_COPYRIGHT,
                    "License GPL-3.0-or-later: GNU GPL version 3 or later "
                    "<https://gnu.org/licenses/gpl.html>");
    else
        return false;
    return true;
}

} // namespace

int main(int argc, char* argv[]) {
    // Before anything is written: a closed standard output or error must not end the program.
    platform::ignoreBrokenPipes();
    QCoreApplication::setApplicationName(u"Tarnhold"_s);
    QCoreApplication::setApplicationVersion(QStringLiteral(TARNHOLD_VERSION));
    if (answeredOption(argc, argv))
        return 0;

    QApplication app(argc, argv);
    // Ties the windows to the desktop entry, for the icon and the name the desktop shows.
    QGuiApplication::setDesktopFileName(QStringLiteral(TARNHOLD_APP_ID));
    QApplication::setWindowIcon(QIcon(logoResource()));
    frmMain window;
    window.show();
    return QApplication::exec();
}
