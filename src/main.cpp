#include "app/Application.h"
#include "app/MainWindow.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    configureApplication(app);
    MainWindow window;
    window.show();
    return QApplication::exec();
}
