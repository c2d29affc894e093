// The dialogs of the desktop: Qt's file dialogs, message boxes and input box.
#pragma once

#include "dialogs.h"

namespace brevorn {

class QtDialogs final : public Dialogs
{
public:
    std::optional<QString> openPath(QWidget* parent) override;
    std::optional<QString> savePath(QWidget* parent) override;
    bool askYesNo(QWidget* parent, const QString& text, const QString& title) override;
    QString inputText(QWidget* parent, const QString& prompt, const QString& title) override;
    void showError(QWidget* parent, const QString& title, const QString& text) override;
};

} // namespace brevorn
