#pragma once

#include "press/window_layout.h"

#include <QRect>
#include <QSize>

namespace velhorn::widgets {

using press::kTwipsPerPixel;
using press::TwipRect;
using press::TwipSize;

[[nodiscard]] constexpr QRect toPixels(const TwipRect& twips)
{
    const press::PixelRect p = twips.pixels();
    return {p.left, p.top, p.width, p.height};
}

[[nodiscard]] constexpr QSize toPixels(const TwipSize& twips)
{
    const press::PixelRect p = twips.pixels();
    return {p.width, p.height};
}

}  // namespace velhorn::widgets
