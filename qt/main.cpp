// Starts the editor: one window asking through Qt's dialogs, and the event loop.
#include "brevorn_build_window.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    // The name is the window class the desktop entry's StartupWMClass expects, and the
    // desktop file name lets Wayland compositors match the window to that entry and icon.
    QApplication::setApplicationName(QStringLiteral("brevorn-builder"));
    QApplication::setApplicationVersion(QStringLiteral(BREVORN_VERSION));
    QApplication::setDesktopFileName(QStringLiteral("io.github.steelvane.BrevornBuilder"));
    QApplication app(argc, argv);
    brevorn::BrevornBuildWindow window;
    window.show();
    return app.exec();
}
