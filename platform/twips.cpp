#include "twips.h"

#include <QPaintDevice>

#include <cmath>

namespace twips {

int toPixels(int twips, qreal dotsPerInch)
{
    if (twips <= 0 || dotsPerInch <= 0)
        return 0;
    return int(std::lround(twips * dotsPerInch / PerInch));
}

int toPixelsX(int twips, const QPaintDevice& device)
{
    return toPixels(twips, device.logicalDpiX());
}

int toPixelsY(int twips, const QPaintDevice& device)
{
    return toPixels(twips, device.logicalDpiY());
}

} // namespace twips
