#pragma once

#include "window/layout.h"

#include <QColor>

#include <cstdint>

namespace velhorn::widgets {

// Colours are written as 24-bit numbers with red in the low byte and blue in the high byte.
[[nodiscard]] constexpr QRgb fromLowRedValue(std::uint32_t value)
{
    return qRgb(static_cast<int>(value & 0xFF), static_cast<int>((value >> 8) & 0xFF),
                static_cast<int>((value >> 16) & 0xFF));
}

inline const QColor kRed = QColor::fromRgb(fromLowRedValue(window::colour::kRed));
inline const QColor kBlue = QColor::fromRgb(fromLowRedValue(window::colour::kBlue));
inline const QColor kGreen = QColor::fromRgb(fromLowRedValue(window::colour::kGreen));
inline const QColor kLightYellow = QColor::fromRgb(fromLowRedValue(window::colour::kLightYellow));
inline const QColor kOutputGrey = QColor::fromRgb(fromLowRedValue(window::colour::kOutputGrey));
inline const QColor kInputWhite = QColor::fromRgb(fromLowRedValue(window::colour::kInputWhite));

// How far apart two colours read, from 1 (the same) to 21 (black on white), by the WCAG
// definition of relative luminance.
[[nodiscard]] double contrastRatio(const QColor& a, const QColor& b);

// Black or white, whichever reads better on `background`: text the program puts on a
// background it chose must not take the desktop theme's text colour, which may be light.
[[nodiscard]] QColor textColourOn(const QColor& background);

}  // namespace velhorn::widgets
