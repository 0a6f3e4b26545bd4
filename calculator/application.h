#pragma once

class QApplication;

namespace velhorn::calculator {

// The program's name, version and icon, as the window system and the About box show them.
void setUpApplication(QApplication& app);

}  // namespace velhorn::calculator
