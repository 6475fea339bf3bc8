// varno-icons FOLDER SIZE...: writes FOLDER/<size>x<size>/apps/varno-server.png for every size.
#include "gui/app/artwork.h"

#include <QApplication>
#include <QDir>

#include <cstdio>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    const QStringList arguments = app.arguments();
    if (arguments.size() < 3) {
        std::fprintf(stderr, "usage: varno-icons FOLDER SIZE...\n");
        return 2;
    }
    const QIcon icon = varno::artwork::applicationIcon();
    for (const QString& sizeText : arguments.mid(2)) {
        const int size = sizeText.toInt();
        const QString folder = QStringLiteral("%1/%2x%2/apps").arg(arguments[1]).arg(size);
        QDir().mkpath(folder);
        if (!icon.pixmap(size, size).save(folder + QStringLiteral("/varno-server.png"))) {
            std::fprintf(stderr, "varno-icons: cannot write %s\n", qPrintable(folder));
            return 1;
        }
    }
    return 0;
}
