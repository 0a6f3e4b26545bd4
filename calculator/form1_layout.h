#pragma once

#include "widgets/twips.h"

// Where every control of the main window stands, in twips from its container's top-left corner
// (a frame's corner includes its caption strip).
namespace velhorn::calculator::layout {

using widgets::TwipRect;
using widgets::TwipSize;

inline constexpr TwipSize kClientArea{6105, 4740};

inline constexpr TwipRect kPicture1{2400, 120, 3375, 4335};

inline constexpr TwipRect kFrame4{240, 240, 1935, 1695};
inline constexpr TwipRect kOption_M1{120, 240, 855, 315};
inline constexpr TwipRect kText_M1{1080, 240, 615, 285};
inline constexpr TwipRect kOption_Teta{120, 720, 855, 255};
inline constexpr TwipRect kText_Teta{1080, 720, 615, 285};
inline constexpr TwipRect kOption_M2{120, 1200, 735, 255};
inline constexpr TwipRect kText_M2{1080, 1200, 615, 285};

inline constexpr TwipRect kCommand1{240, 2040, 1935, 495};

inline constexpr TwipRect kFrame2{240, 2520, 1935, 2175};
inline constexpr TwipRect kLabel6{240, 240, 615, 255};
inline constexpr TwipRect kText_Nu1{1080, 240, 615, 285};
inline constexpr TwipRect kLabel7{240, 720, 615, 255};
inline constexpr TwipRect kText_Nu2{1080, 720, 615, 285};
inline constexpr TwipRect kLabel4{240, 1200, 615, 375};
inline constexpr TwipRect kText_p2p1{1080, 1200, 615, 285};
inline constexpr TwipRect kLabel5{240, 1680, 615, 375};
inline constexpr TwipRect kText_T2T1{1080, 1680, 615, 285};

}  // namespace velhorn::calculator::layout
