#pragma once

#include "window/layout.h"

#include <QRect>
#include <QSize>

namespace velhorn::widgets {

using window::kTwipsPerPixel;
using window::TwipRect;
using window::TwipSize;

[[nodiscard]] constexpr QRect toPixels(const TwipRect& twips)
{
    const window::PixelRect p = twips.pixels();
    return {p.left, p.top, p.width, p.height};
}

[[nodiscard]] constexpr QSize toPixels(const TwipSize& twips)
{
    const window::PixelRect p = twips.pixels();
    return {p.width, p.height};
}

}  // namespace velhorn::widgets
