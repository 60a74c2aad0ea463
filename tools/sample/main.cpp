#include "sampleimage.h"

#include <QCoreApplication>
#include <QStringList>

#include <cstdio>

// Writes the sample image to the path given as the only argument.
int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    if (arguments.size() != 2) {
        std::fprintf(stderr, "usage: tavrin-sample <image.smc>\n");
        return 2;
    }
    QString error;
    if (!SampleImage::write(arguments.at(1), &error)) {
        std::fprintf(stderr, "tavrin-sample: %s: %s\n", qUtf8Printable(arguments.at(1)), qUtf8Printable(error));
        return 1;
    }
    return 0;
}
