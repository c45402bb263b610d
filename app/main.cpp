#include "app/FrmMain.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tarnhold"));
    frmMain window;
    window.show();
    return QApplication::exec();
}
