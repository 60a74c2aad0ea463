#pragma once

#include "filebytes.h"
#include "blockcatalogue.h"
#include "document.h"
#include "sampleimage.h"

#include <QByteArray>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>

// An image written into a scratch directory and opened into a document, with no name list beside it.
struct OpenedImage
{
    QTemporaryDir dir;
    Document doc;
    QString path;

    bool open(const QByteArray& image, const QString& name = QStringLiteral("image.smc"))
    {
        path = dir.filePath(name);
        QFile file(path);
        if (!dir.isValid() || !file.open(QIODevice::WriteOnly) || file.write(image) != image.size())
            return false;
        file.close();
        doc.setNameListPath(dir.filePath(QStringLiteral("b.txt")));
        doc.setUpGrids();
        doc.setRedraw(true);
        return doc.open(path).isDone();
    }

    bool openSample() { return open(SampleImage::generate()); }

    QByteArray block(BlockId id) const { return doc.state().block(id); }
};

// An image of the sample's size in which every byte is random; the start value of its generator is printed on failure.
inline QByteArray randomImage(quint32 start)
{
    QRandomGenerator random(start);
    QByteArray bytes(SampleImage::Size, '\0');
    for (char& b : bytes)
        b = char(random.bounded(256));
    return bytes;
}
