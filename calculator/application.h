#pragma once

namespace velhorn::calculator {

// The program's name, version and icon, as the window system shows them.
void setUpApplication();

}  // namespace velhorn::calculator
