#pragma once

namespace velhorn::app {

// The program's name, version, desktop entry and icon, as the window system shows them.
void setUpApplication();

}  // namespace velhorn::app
