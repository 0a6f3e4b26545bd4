#include "calculator/form1.h"

#include <QApplication>

#include <cstdio>
#include <cstdlib>

int main(int argc, char* argv[])
{
#if defined(Q_OS_LINUX)
    // Without a display Qt would abort; say so plainly instead.
    if (!std::getenv("DISPLAY") && !std::getenv("WAYLAND_DISPLAY") && !std::getenv("QT_QPA_PLATFORM")) {
        std::fputs("Velhorn needs a graphical display, and none is set (DISPLAY or WAYLAND_DISPLAY).\n"
                   "Start it from a desktop session, or under a virtual one: xvfb-run velhorn\n",
                   stderr);
        return EXIT_FAILURE;
    }
#endif
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Velhorn"));
    QApplication::setApplicationVersion(QStringLiteral("1.00"));

    velhorn::calculator::Form1 window;
    window.show();
    return app.exec();
}
