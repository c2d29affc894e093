// Renders the editor window with a roster loaded and its first unit shown, for the README.
#include "editor/brevorn_build.h"
#include "editor/dialogs.h"

#include <QApplication>
#include <QListWidget>
#include <QPixmap>

#include <cstdio>

namespace {

// Answers the open dialog with the roster given on the command line; asks nothing else.
struct FixedDialogs final : brevorn::Dialogs
{
    QString roster;
    std::optional<QString> openPath(QWidget*) override { return roster; }
    std::optional<QString> savePath(QWidget*) override { return std::nullopt; }
    bool askYesNo(QWidget*, const QString&, const QString&) override { return false; }
    QString inputText(QWidget*, const QString&, const QString&) override { return {}; }
    void showError(QWidget*, const QString&, const QString& text) override
    {
        std::fprintf(stderr, "%s\n", qPrintable(text));
    }
};

} // namespace

int main(int argc, char* argv[])
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: window_screenshot ROSTER PNG\n");
        return 2;
    }
    QApplication app(argc, argv);
    FixedDialogs dialogs;
    dialogs.roster = QString::fromLocal8Bit(argv[1]);
    brevorn::BrevornBuild window(dialogs);
    window.Command2_Click();
    window.findChild<QListWidget*>(QStringLiteral("List1"))->setCurrentRow(0);
    window.show();
    QApplication::processEvents();
    return window.grab().save(QString::fromLocal8Bit(argv[2])) ? 0 : 1;
}
