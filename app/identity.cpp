#include "identity.h"

#include "calculator/form1.h"
#include "velhorn_version.h"

#include <QApplication>
#include <QIcon>

// The icons are compiled into the program, which must register them by hand, and from outside
// any namespace.
static void registerIcons() { Q_INIT_RESOURCE(velhorn); }

namespace velhorn::app {

void setUpApplication()
{
    registerIcons();
    QApplication::setApplicationName(QString::fromLatin1(calculator::kApplicationTitle));
    QApplication::setApplicationVersion(QStringLiteral(VELHORN_VERSION));
    // Names the desktop entry, and so the icon and name that Wayland compositors show.
    QApplication::setDesktopFileName(QStringLiteral(VELHORN_APP_ID));
    // Colour images only: the black-and-white one is for the Windows icon resource, where a
    // monochrome display asks for it; here it would stand in for the colour image of its size.
    QIcon icon;
    for (const char* image : {":/icons/velhorn-32.xpm", ":/icons/velhorn-16.xpm"})
        icon.addFile(QString::fromLatin1(image));
    QApplication::setWindowIcon(icon);
}

}  // namespace velhorn::app
