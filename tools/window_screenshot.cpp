// Renders the editor window with a roster loaded and its first unit shown, for the README.
#include "brevorn_build_window.h"

#include <QApplication>
#include <QListWidget>
#include <QPixmap>

#include <cstdio>

namespace {

// Answers the open dialog with the roster given on the command line; asks nothing else.
struct FixedPrompts final : brevorn::EditorPrompts
{
    std::filesystem::path roster;
    std::optional<std::filesystem::path> openPath(const brevorn::FileRequest&) override { return roster; }
    std::optional<std::filesystem::path> savePath(const brevorn::FileRequest&) override { return std::nullopt; }
    bool askYesNo(const brevorn::Question&) override { return false; }
    std::string inputText(const brevorn::InputRequest&) override { return {}; }
    void showError(const brevorn::ErrorMessage& message) override
    {
        std::fprintf(stderr, "%s\n", message.text.c_str());
    }
    void showReport(const brevorn::ErrorMessage& message) override { showError(message); }
    void endProgram() override {}
};

} // namespace

int main(int argc, char* argv[])
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: window_screenshot ROSTER PNG\n");
        return 2;
    }
    QApplication app(argc, argv);
    FixedPrompts prompts;
    prompts.roster = argv[1];
    brevorn::BrevornBuildWindow window(&prompts);
    window.core().handle(brevorn::WindowEvent::Command2_Click);
    // Selected as a user would, so that the unit is shown.
    static_cast<QListWidget*>(window.control(brevorn::Control::List1))->setCurrentRow(0);
    window.show();
    QApplication::processEvents();
    return window.grab().save(QString::fromLocal8Bit(argv[2])) ? 0 : 1;
}
