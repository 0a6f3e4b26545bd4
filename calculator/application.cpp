#include "calculator/application.h"

#include "calculator/form1.h"

#include <QApplication>
#include <QIcon>

// The icons are compiled into this static library, which must register them by hand, and
// from outside any namespace.
static void registerIcons() { Q_INIT_RESOURCE(velhorn); }

namespace velhorn::calculator {

void setUpApplication()
{
    registerIcons();
    QApplication::setApplicationName(QString::fromLatin1(kApplicationTitle));
    QApplication::setApplicationVersion(QStringLiteral("1.00"));
    QApplication::setDesktopFileName(QStringLiteral("velhorn"));
    // Colour images only: the black-and-white one is for the Windows icon resource, where a
    // monochrome display asks for it; here it would stand in for the colour image of its size.
    QIcon icon;
    for (const char* image : {":/icons/velhorn-32.xpm", ":/icons/velhorn-16.xpm"})
        icon.addFile(QString::fromLatin1(image));
    QApplication::setWindowIcon(icon);
}

}  // namespace velhorn::calculator
