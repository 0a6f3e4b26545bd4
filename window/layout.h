#pragma once

#include <array>
#include <cstdint>
#include <string_view>

// The calculator's two windows as plain data: where each control stands, what it says, what a
// screen reader calls it and where it comes in keyboard order. The desktop builds its widgets
// from this table and the page generates its markup from it, so the two cannot drift apart.
namespace velhorn::window {

// Geometry is drawn in twips; 15 of them make one device-independent pixel.
inline constexpr int kTwipsPerPixel = 15;

struct PixelRect {
    int left, top, width, height;
};

struct TwipRect {
    int left, top, width, height;
    [[nodiscard]] constexpr PixelRect pixels() const
    {
        return {left / kTwipsPerPixel, top / kTwipsPerPixel, width / kTwipsPerPixel, height / kTwipsPerPixel};
    }
};

struct TwipSize {
    int width, height;
    [[nodiscard]] constexpr PixelRect pixels() const { return {0, 0, width / kTwipsPerPixel, height / kTwipsPerPixel}; }
};

// Colours as 24-bit numbers with red in the low byte and blue in the high byte.
namespace colour {
inline constexpr std::uint32_t kRed = 255;
inline constexpr std::uint32_t kBlue = 16711680;
inline constexpr std::uint32_t kGreen = 32768;
inline constexpr std::uint32_t kBlack = 0;
inline constexpr std::uint32_t kLightYellow = 12648447;
inline constexpr std::uint32_t kOutputGrey = 13158600;  // red, green and blue 200 each
inline constexpr std::uint32_t kInputWhite = 16777215;
}  // namespace colour

inline constexpr std::string_view kApplicationTitle = "Velhorn";
// What the chart area says to a screen reader before anything is drawn on it.
inline constexpr std::string_view kNothingDrawn = "nothing drawn yet";

namespace form1 {

enum class Kind { Chart, Frame, Option, TextBox, Button, Label };

struct Control {
    std::string_view name;
    Kind kind;
    std::string_view container;  // "" for the window itself
    std::string_view caption;
    TwipRect where;
    int tabIndex;
    std::string_view accessibleName;  // for a box, the quantity it holds
};

inline constexpr TwipSize kClientArea{6105, 4740};
inline constexpr double kPointSize = 8.25;

inline constexpr std::string_view kMenuAbout = "About";
inline constexpr std::string_view kCaptionAtStart = "Choose an Output option";
inline constexpr std::string_view kCaptionPrepared = "SET input values then CLICK";
// Items of the context menu; '&' marks the access key.
inline constexpr std::string_view kCopyResults = "&Copy results";
inline constexpr std::string_view kSaveChart = "&Save chart as...";

// In building order: each container before what it holds.
inline constexpr Control kPicture1{"Picture1", Kind::Chart, "", "", {2400, 120, 3375, 4335}, 0, "Chart of Nu against M"};
inline constexpr Control kFrame4{"Frame4", Kind::Frame, "", "Output options", {240, 240, 1935, 1695}, 4, "Output options"};
inline constexpr Control kOption_M1{"Option_M1", Kind::Option, "Frame4", "M1 =", {120, 240, 855, 315}, 6, "M1 ="};
inline constexpr Control kText_M1{"Text_M1", Kind::TextBox, "Frame4", "", {1080, 240, 615, 285}, 5, "M1"};
inline constexpr Control kOption_Teta{"Option_Teta", Kind::Option, "Frame4", "Teta =", {120, 720, 855, 255}, 7, "Teta ="};
inline constexpr Control kText_Teta{"Text_Teta", Kind::TextBox, "Frame4", "", {1080, 720, 615, 285}, 8, "Teta"};
inline constexpr Control kOption_M2{"Option_M2", Kind::Option, "Frame4", "M2 =", {120, 1200, 735, 255}, 9, "M2 ="};
inline constexpr Control kText_M2{"Text_M2", Kind::TextBox, "Frame4", "", {1080, 1200, 615, 285}, 10, "M2"};
inline constexpr Control kCommand1{"Command1", Kind::Button, "", kCaptionAtStart, {240, 2040, 1935, 495}, 17, kCaptionAtStart};
inline constexpr Control kFrame2{"Frame2", Kind::Frame, "", "", {240, 2520, 1935, 2175}, 1, ""};
inline constexpr Control kLabel6{"Label6", Kind::Label, "Frame2", "Nu1 =", {240, 240, 615, 255}, 11, "Nu1 ="};
inline constexpr Control kText_Nu1{"Text_Nu1", Kind::TextBox, "Frame2", "", {1080, 240, 615, 285}, 12, "Nu1"};
inline constexpr Control kLabel7{"Label7", Kind::Label, "Frame2", "Nu2 =", {240, 720, 615, 255}, 3, "Nu2 ="};
inline constexpr Control kText_Nu2{"Text_Nu2", Kind::TextBox, "Frame2", "", {1080, 720, 615, 285}, 2, "Nu2"};
inline constexpr Control kLabel4{"Label4", Kind::Label, "Frame2", "p2/p1 =", {240, 1200, 615, 375}, 15, "p2/p1 ="};
inline constexpr Control kText_p2p1{"Text_p2p1", Kind::TextBox, "Frame2", "", {1080, 1200, 615, 285}, 13, "p2/p1"};
inline constexpr Control kLabel5{"Label5", Kind::Label, "Frame2", "T2/T1 =", {240, 1680, 615, 375}, 16, "T2/T1 ="};
inline constexpr Control kText_T2T1{"Text_T2T1", Kind::TextBox, "Frame2", "", {1080, 1680, 615, 285}, 14, "T2/T1"};

inline constexpr std::array kControls{kPicture1, kFrame4,   kOption_M1, kText_M1, kOption_Teta, kText_Teta,
                                      kOption_M2, kText_M2, kCommand1,  kFrame2,  kLabel6,      kText_Nu1,
                                      kLabel7,    kText_Nu2, kLabel4,   kText_p2p1, kLabel5,    kText_T2T1};

// The seven boxes in the order a press reports them: the three inputs, then the four results.
inline constexpr std::array kBoxes{kText_M1, kText_Teta, kText_M2, kText_Nu1, kText_Nu2, kText_p2p1, kText_T2T1};

}  // namespace form1

namespace about {

struct Line {
    std::string_view name;
    std::string_view text;
    TwipRect where;
    double pointSize;
    std::uint32_t colour;
};

inline constexpr std::string_view kTitle = "About";
inline constexpr TwipSize kClientArea{3600, 1770};
inline constexpr std::string_view kFont = "Verdana";
inline constexpr double kTitlePointSize = 9.75;
inline constexpr double kTextPointSize = 8.25;

// From the top of the window down.
inline constexpr std::array kLines{
    Line{"Label2", "Program for calculating", {480, 120, 2415, 255}, kTitlePointSize, colour::kGreen},
    Line{"Label3", "Velhorn", {840, 360, 1815, 255}, kTitlePointSize, colour::kGreen},
    Line{"Label7", "by the Velhorn developers", {480, 600, 2775, 255}, kTextPointSize, colour::kBlack},
    Line{"Label8", "March 2006", {1200, 840, 1095, 255}, kTextPointSize, colour::kBlack},
    Line{"Label4", "For comments and questions e-mail to", {120, 1080, 3375, 255}, kTextPointSize, colour::kBlack},
    Line{"Label5", "velhorn@example.org", {840, 1320, 1935, 255}, kTextPointSize, colour::kBlue},
};

}  // namespace about

}  // namespace velhorn::window
