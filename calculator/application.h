#pragma once


namespace velhorn::calculator {

// The program's name, version and icon, as the window system and the About box show them.
void setUpApplication();

}  // namespace velhorn::calculator
