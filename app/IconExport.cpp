// Writes the application icon as PNG files for the desktop entry:
//   norvane-icon-export FOLDER SIZE...   (files FOLDER/norvane-upgrader-SIZE.png)
#include "AppIcons.h"

#include <QDir>
#include <QImage>
#include <QString>

#include <cstdio>

int main(int argc, char* argv[])
{
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s FOLDER SIZE...\n", argv[0]);
        return 2;
    }
    const QString folder = QString::fromLocal8Bit(argv[1]);
    if (!QDir().mkpath(folder)) {
        std::fprintf(stderr, "cannot create %s\n", argv[1]);
        return 1;
    }
    for (int i = 2; i < argc; ++i) {
        bool isNumber = false;
        const int size = QString::fromLatin1(argv[i]).toInt(&isNumber);
        if (!isNumber || size < 16 || size % 16 != 0) {
            std::fprintf(stderr, "size %s is not a multiple of 16\n", argv[i]);
            return 2;
        }
        const QString file = folder + QStringLiteral("/norvane-upgrader-%1.png").arg(size);
        if (!DrawApplicationIcon(size).save(file, "PNG")) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(file));
            return 1;
        }
    }
    return 0;
}
