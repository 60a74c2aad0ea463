#pragma once

#include "imageform.h"

#include <QString>

#include <optional>

class QWidget;

// The question before comparing with an IPS patch, which does not record the form of image it was
// made for: コピアヘッダーあり / ヘッダーなし / キャンセル. A patch made for the other form would
// otherwise be compared 512 bytes off.
class PatchFormQuestion
{
public:
    PatchFormQuestion() = delete;

    // True when the file at `path` starts as an IPS patch does.
    static bool isIpsPatch(const QString& path);
    // Asks modally; the opened image's own form is the default, so Enter keeps what a patch for this
    // image needs. nullopt when cancelled (キャンセル, Escape, the close box).
    static std::optional<ImageForm> ask(QWidget* owner, const QString& title, const QString& patchPath,
                                        ImageForm opened);
};
