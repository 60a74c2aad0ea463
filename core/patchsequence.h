#pragma once

#include "imageform.h"
#include "patchoutcome.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <optional>

// Applying patches to an image in memory, one after another, including patches made for the image's
// other form (with or without the copier header): such a patch is applied to the image converted to
// that form, and the result is converted back, so the image keeps its own form (and its own header).
class PatchSequence
{
public:
    // For a patch that carries no checksum of its source (IPS): the form it was made for, when the
    // user says so; nullopt applies it to the image as it is.
    using IpsForm = std::optional<ImageForm>;

    explicit PatchSequence(QByteArray image);

    // Applies `patch`; on refusal returns the reason and leaves the image as it was. A BPS patch whose
    // source CRC32 matches only the image of the other form is applied that way. A result that would
    // not open as an image (an IPS truncation, for instance) is refused.
    QString apply(const QByteArray& patch, IpsForm ipsForm = std::nullopt);

    const QByteArray& image() const { return m_image; }
    // One line per patch that was applied through the other form, saying so.
    const QStringList& notes() const { return m_notes; }

private:
    // The image in the other form, or nullopt when its size shows neither form.
    std::optional<QByteArray> otherForm() const;
    // Turns a result made in the other form back into the image's own form.
    std::optional<QByteArray> backToOwnForm(const QByteArray& result) const;
    QString applyInOtherForm(const QByteArray& patch);
    // Takes `result` as the image when it opens as one; otherwise the reason it does not.
    QString accept(QByteArray result);

    QByteArray m_image;
    QStringList m_notes;
};
