#pragma once

#include <QColor>

#include <cstdint>

namespace velhorn::calculator {

// Colours are written as 24-bit numbers with red in the low byte and blue in the high byte.
[[nodiscard]] constexpr QRgb fromLowRedValue(std::uint32_t value)
{
    return qRgb(static_cast<int>(value & 0xFF), static_cast<int>((value >> 8) & 0xFF),
                static_cast<int>((value >> 16) & 0xFF));
}

// Composes a colour from red, green and blue components of 0 to 255.
[[nodiscard]] inline QColor RGB(int red, int green, int blue) { return QColor(red, green, blue); }

inline const QColor kRed = QColor::fromRgb(fromLowRedValue(255));
inline const QColor kBlue = QColor::fromRgb(fromLowRedValue(16711680));
inline const QColor kLightYellow = QColor::fromRgb(fromLowRedValue(12648447));
inline const QColor kOutputGrey = RGB(200, 200, 200);
inline const QColor kInputWhite = RGB(255, 255, 255);

}  // namespace velhorn::calculator
