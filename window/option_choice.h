#pragma once

#include "press/press.h"
#include "window/layout.h"

#include <array>
#include <string_view>

// What choosing an output option does to the window, the same on the desktop and the page.
namespace velhorn::window {

struct OptionChoice {
    press::Box hidden;  // the chosen quantity's box, hidden until a press shows its result
    // The three input boxes go back to white (the output's grey is undone), every box is
    // emptied, the button asks for input, and Copy results has nothing to copy until a press
    // finds a result.
    static constexpr std::array kWhitened{press::Box::M1, press::Box::Teta, press::Box::M2};
    static constexpr std::array kEmptied{press::Box::M1,  press::Box::Teta, press::Box::M2, press::Box::Nu1,
                                         press::Box::Nu2, press::Box::p2p1, press::Box::T2T1};
    static constexpr std::string_view kCaption = form1::kCaptionPrepared;
    static constexpr bool kForgetsResult = true;
};

[[nodiscard]] constexpr OptionChoice choose(press::Mode mode)
{
    switch (mode) {
    case press::Mode::M1: return {press::Box::M1};
    case press::Mode::Teta: return {press::Box::Teta};
    case press::Mode::M2: break;
    }
    return {press::Box::M2};
}

}  // namespace velhorn::window
