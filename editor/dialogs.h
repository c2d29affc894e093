// Everything modal that the window asks of the user, behind one small interface so that
// tests can answer in place of a person.
#pragma once

#include <QString>

#include <optional>

class QWidget;

namespace brevorn {

class Dialogs
{
public:
    virtual ~Dialogs() = default;

    // The platform's file dialogs; nullopt when the user cancels.
    virtual std::optional<QString> openPath(QWidget* parent) = 0;
    virtual std::optional<QString> savePath(QWidget* parent) = 0;

    // A question with Yes and No and no icon; true for Yes.
    virtual bool askYesNo(QWidget* parent, const QString& text, const QString& title) = 0;

    // An input box that starts empty; the empty text on Cancel or close.
    virtual QString inputText(QWidget* parent, const QString& prompt, const QString& title) = 0;

    // A message the user has to acknowledge.
    virtual void showError(QWidget* parent, const QString& title, const QString& text) = 0;
};

} // namespace brevorn
