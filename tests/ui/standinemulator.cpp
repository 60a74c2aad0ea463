// A stand-in for an emulator in the test-play tests: records the arguments it was started with and
// copies the image it was given, so that a test can check both what arrived and its bytes.
//
// Usage: tavrin-standin-emulator OUTDIR [ARGUMENT...]
// Writes OUTDIR/arguments.txt (every argument after OUTDIR, each on a line of its own, UTF-8), copies
// the file that the last argument names to OUTDIR/image.bin, and only then creates OUTDIR/done, which
// the test waits for. Exit status: 0 done, 1 a file could not be read or written, 2 no OUTDIR.

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QSaveFile>
#include <QStringList>

namespace {

bool writeWhole(const QString& path, const QByteArray& bytes)
{
    QSaveFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.commit();
}

} // namespace

int main(int argc, char** argv)
{
    // Qt's arguments, not argv: on Windows only they carry the letters outside the system code page.
    const QCoreApplication app(argc, argv);
    QStringList arguments = QCoreApplication::arguments().mid(1);
    if (arguments.isEmpty())
        return 2;
    const QDir out(arguments.takeFirst());
    if (!writeWhole(out.filePath(QStringLiteral("arguments.txt")), arguments.join(QLatin1Char('\n')).toUtf8()))
        return 1;
    if (!arguments.isEmpty()) {
        QFile image(arguments.last());
        if (!image.open(QIODevice::ReadOnly) || !writeWhole(out.filePath(QStringLiteral("image.bin")), image.readAll()))
            return 1;
    }
    return writeWhole(out.filePath(QStringLiteral("done")), QByteArray()) ? 0 : 1;
}
