#include "cli/cli.h"

#include <QCoreApplication>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("varno"));
    QCoreApplication::setApplicationVersion(QStringLiteral(VARNO_VERSION));
    return varno::cli::run(app.arguments().mid(1));
}
