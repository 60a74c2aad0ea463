#pragma once

#include <QtGlobal>

class QPaintDevice;

// Lengths of the tables and dialogs are kept in twips, 1440 to the inch, so that a layout looks the
// same on every screen; these turn them into the pixels of a device.
namespace twips {

inline constexpr int PerInch = 1440;

// Rounds to the nearest pixel; negative lengths count as 0.
int toPixels(int twips, qreal dotsPerInch);
// Uses the device's logical resolution (the screen's for a widget).
int toPixelsX(int twips, const QPaintDevice& device);
int toPixelsY(int twips, const QPaintDevice& device);

} // namespace twips
