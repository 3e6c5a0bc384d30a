// morvex: the desktop program.
#include <QApplication>

#include "app/MorvexApp.h"

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    CMorvexApp app;
    if (!app.InitInstance(QApplication::arguments().mid(1))) return 1;
    return QApplication::exec();
}
