// make-icons: the program's icon as PNG files at the sizes desktops look
// for, laid out as an icon theme's folders:
//
//   make-icons FOLDER     writes FOLDER/hicolor/NxN/apps/calvorine.png
//
// The icon is drawn 32 pixels square: smaller sizes are smoothed, larger
// ones keep its pixels square rather than blurring them.
#include <QDir>
#include <QImage>
#include <QString>
#include <cstdio>

#include "platform/icons/icon_110.xpm"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make-icons FOLDER\n");
        return 2;
    }
    const QImage icon = QImage(icon_110_xpm).convertToFormat(QImage::Format_ARGB32);
    if (icon.isNull()) {
        std::fprintf(stderr, "make-icons: the icon cannot be read\n");
        return 1;
    }
    for (int size : {16, 22, 24, 32, 48, 64, 128, 256}) {
        const Qt::TransformationMode mode = size < icon.width() ? Qt::SmoothTransformation : Qt::FastTransformation;
        const QImage picture = icon.scaled(size, size, Qt::IgnoreAspectRatio, mode);
        const QString folder = QString("%1/hicolor/%2x%2/apps").arg(QString::fromLocal8Bit(argv[1])).arg(size);
        const QString path = folder + "/calvorine.png";
        if (!QDir().mkpath(folder) || !picture.save(path, "PNG")) {
            std::fprintf(stderr, "make-icons: cannot write %s\n", path.toLocal8Bit().constData());
            return 1;
        }
    }
    return 0;
}
