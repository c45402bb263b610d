#include "app/FrmMain.h"
#include "platform/BrokenPipes.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    platform::ignoreBrokenPipes();
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tarnhold"));
    frmMain window;
    window.show();
    return QApplication::exec();
}
