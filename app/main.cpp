#include "calculator/form1.h"
#include "identity.h"

#include <QApplication>

#include <cstdio>
#include <cstdlib>

namespace {

// Without a usable display Qt ends the process with an abort; end it with a plain word instead.
void reportMissingDisplay(QtMsgType type, const QMessageLogContext&, const QString& message)
{
    std::fprintf(stderr, "%s\n", qPrintable(message));
    if (type == QtFatalMsg) {
        std::fputs("Velhorn cannot open its window: no usable display was found. Start it from a\n"
                   "desktop session, or under a virtual one: xvfb-run velhorn\n",
                   stderr);
        std::_Exit(EXIT_FAILURE);
    }
}

}  // namespace

int main(int argc, char* argv[])
{
    const QtMessageHandler defaultHandler = qInstallMessageHandler(reportMissingDisplay);
    QApplication app(argc, argv);
    qInstallMessageHandler(defaultHandler);
    velhorn::app::setUpApplication();

    velhorn::calculator::Form1 window;
    window.show();
    return app.exec();
}
