#include "sampleimage.h"

#include <QCoreApplication>
#include <QStringList>

#include <cstdio>

namespace {

constexpr const char* Usage = "usage: tavrin-sample [--] <image.smc>\n"
                              "Writes the deterministic sample image (1 MiB behind a copier header) to the path.\n";

} // namespace

// Writes the sample image to the path given as the only argument. Anything that looks like an option
// is answered (--help) or refused, so that a mistyped option never becomes the name of a new file.
int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QStringList arguments = QCoreApplication::arguments().mid(1);
    if (arguments.size() == 1 && (arguments.first() == QStringLiteral("--help") || arguments.first() == QStringLiteral("-h"))) {
        std::fputs(Usage, stdout);
        return 0;
    }
    const bool separated = !arguments.isEmpty() && arguments.first() == QStringLiteral("--");
    if (separated)
        arguments.removeFirst();
    if (!separated && !arguments.isEmpty() && arguments.first().startsWith(QLatin1Char('-'))) {
        std::fprintf(stderr, "tavrin-sample: unknown option %s\n%s", qUtf8Printable(arguments.first()), Usage);
        return 2;
    }
    if (arguments.size() != 1 || arguments.first().isEmpty()) {
        std::fputs(Usage, stderr);
        return 2;
    }
    QString error;
    if (!SampleImage::write(arguments.first(), &error)) {
        std::fprintf(stderr, "tavrin-sample: %s: %s\n", qUtf8Printable(arguments.first()), qUtf8Printable(error));
        return 1;
    }
    return 0;
}
