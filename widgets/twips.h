#pragma once

#include <QRect>
#include <QSize>

namespace velhorn::widgets {

// Window geometry is drawn in twips; 15 of them make one device-independent pixel.
inline constexpr int kTwipsPerPixel = 15;

struct TwipRect {
    int left, top, width, height;
    [[nodiscard]] constexpr QRect toPixels() const
    {
        return {left / kTwipsPerPixel, top / kTwipsPerPixel, width / kTwipsPerPixel,
                height / kTwipsPerPixel};
    }
};

struct TwipSize {
    int width, height;
    [[nodiscard]] constexpr QSize toPixels() const
    {
        return {width / kTwipsPerPixel, height / kTwipsPerPixel};
    }
};

}  // namespace velhorn::widgets
