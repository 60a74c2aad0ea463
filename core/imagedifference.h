#pragma once

#include <QByteArray>
#include <QtGlobal>

#include <array>
#include <optional>

// Two whole images side by side: the five blocks of an image held in memory, and how many of the
// bytes that no table holds differ between two images.
class ImageDifference
{
public:
    ImageDifference() = delete;

    // The five blocks (indexed by BlockId) from the positions of the image's form, decided by its
    // size as an open decides it; nullopt for an image too short to hold them.
    static std::optional<std::array<QByteArray, 5>> blocksOf(const QByteArray& image);

    // The bytes outside the five tables that differ, the two images compared as cartridge data: each
    // without its copier header, which holds nothing of the game and is what tells the two forms
    // apart, so that an image compares with one of the other form. Bytes one image has beyond the
    // end of the other count as differing.
    static qint64 outsideTables(const QByteArray& a, const QByteArray& b);
};
