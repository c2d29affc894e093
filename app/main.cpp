// Starts the editor: one window, the desktop's dialogs, and the event loop.
#include "editor/brevorn_build.h"
#include "editor/qt_dialogs.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    brevorn::QtDialogs dialogs;
    brevorn::BrevornBuild window(dialogs);
    window.show();
    return app.exec();
}
