// The yardstick for start-up: an empty Qt main window of the same size as Hueloom's, with a menu bar,
// built against the same Qt and nothing else.
#include <QApplication>
#include <QMainWindow>
#include <QMenuBar>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QMainWindow window;
    for (const char* title : {"&File", "&Edit", "&Tools", "&Help"})
        window.menuBar()->addMenu(QString::fromLatin1(title))->addAction(QStringLiteral("Item"));
    auto* client = new QWidget(&window);
    client->setFixedSize(669, 448);
    window.setCentralWidget(client);
    window.show();
    return app.exec();
}
