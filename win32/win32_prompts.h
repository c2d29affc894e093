// The core's prompts with Windows' own dialogs: the common Open and Save As dialogs, message
// boxes, the input box of "New Unit" and the box for a long message.
#pragma once

#include "editor_view.h"

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

namespace brevorn {

class Win32Prompts final : public EditorPrompts
{
public:
    // Every dialog is owned by the window, so that it is modal to it; endProgram closes it.
    void setOwner(HWND owner) { m_owner = owner; }

    std::optional<std::filesystem::path> openPath(const FileRequest& request) override;
    std::optional<std::filesystem::path> savePath(const FileRequest& request) override;
    bool askYesNo(const Question& question) override;
    std::string inputText(const InputRequest& request) override;
    void showError(const ErrorMessage& message) override;
    void showReport(const ErrorMessage& message) override;
    void endProgram() override;

private:
    HWND m_owner = nullptr;
};

} // namespace brevorn
