#include "qttranslation.h"
#include "subcommand.h"

#include <QCoreApplication>
#include <QTextStream>

#include <cstdio>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("tavrin"));
    QCoreApplication::setApplicationVersion(QStringLiteral(TAVRIN_VERSION));
    // The parsers' help headings and error messages come from Qt.
    QtTranslation::install(app);
    QTextStream out(stdout);
    QTextStream err(stderr);
    const int code = cli::runCommandLine(QCoreApplication::arguments(), out, err);
    out.flush();
    err.flush();
    return code;
}
