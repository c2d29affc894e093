// Starts the editor: one window, the desktop's dialogs, and the event loop.
#include "editor/brevorn_build.h"
#include "editor/qt_dialogs.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    // The name is the window class the desktop entry's StartupWMClass expects, and the
    // desktop file name lets Wayland compositors match the window to that entry and icon.
    QApplication::setApplicationName(QStringLiteral("brevorn-builder"));
    QApplication::setApplicationVersion(QStringLiteral(BREVORN_VERSION));
    QApplication::setDesktopFileName(QStringLiteral("io.github.steelvane.BrevornBuilder"));
    QApplication app(argc, argv);
    brevorn::QtDialogs dialogs;
    brevorn::BrevornBuild window(dialogs);
    window.show();
    return app.exec();
}
