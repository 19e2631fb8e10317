// Writes the main icon as PNG files for the desktop's icon theme: export_icons FOLDER writes
// FOLDER/16.png, 32.png and 48.png. Run at build time.
#include "ui/Artwork.h"

#include <QDir>
#include <QGuiApplication>
#include <QPixmap>
#include <cstdio>

int main(int argc, char* argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: export_icons FOLDER\n");
        return 2;
    }
    const QDir folder(QString::fromLocal8Bit(argv[1]));
    if (!folder.mkpath(QStringLiteral(".")))
        return 1;
    for (int size : {16, 32, 48})
        if (!Artwork::mainIconPixmap(size).save(folder.filePath(QStringLiteral("%1.png").arg(size))))
            return 1;
    return 0;
}
