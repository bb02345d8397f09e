// Writes the program's icon, drawn as the running program draws it, as PNG
// files in the icon theme layout: <folder>/<N>x<N>/apps/<name>.png.
#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <cstdio>

#include "app/Artwork.h"

int main(int argc, char** argv) {
    // Builds run without a display.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s FOLDER ICON-NAME\n", argv[0]);
        return 2;
    }
    const QString folder = QString::fromLocal8Bit(argv[1]);
    const QString name = QString::fromLocal8Bit(argv[2]);
    for (int size : vorlix::artwork::kProgramIconSizes) {
        const QString sized = QStringLiteral("%1/%2x%2/apps").arg(folder).arg(size);
        const QString file = sized + QLatin1Char('/') + name + QStringLiteral(".png");
        if (!QDir().mkpath(sized) || !vorlix::artwork::Logo(size).toImage().save(file, "PNG")) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(file));
            return 1;
        }
    }
    return 0;
}
