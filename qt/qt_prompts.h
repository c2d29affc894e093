// The prompts of the desktop: Qt's file dialogs, message boxes, input box and report box.
#pragma once

#include "editor_view.h"

class QWidget;

namespace brevorn {

class QtPrompts final : public EditorPrompts
{
public:
    // Every dialog stands over the window; ending the program closes it.
    explicit QtPrompts(QWidget* window);

    std::optional<std::filesystem::path> openPath(const FileRequest& request) override;
    std::optional<std::filesystem::path> savePath(const FileRequest& request) override;
    bool askYesNo(const Question& question) override;
    std::string inputText(const InputRequest& request) override;
    void showError(const ErrorMessage& message) override;
    void showReport(const ErrorMessage& message) override;
    void endProgram() override;

private:
    QWidget* m_window;
};

} // namespace brevorn
