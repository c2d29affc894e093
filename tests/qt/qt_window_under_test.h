// The Qt window with its prompts answered from a script, and short dumps of what its
// widgets show, so that a failure shows both sides.
#pragma once

#include "brevorn_build_window.h"
#include "roster_test_support.h"
#include "scripted_prompts.h"
#include "window_layout.h"

#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

namespace brevorn::test {

struct QtWindowUnderTest
{
    ScriptedPrompts prompts;
    BrevornBuildWindow window{&prompts};

    template <class W = QWidget>
    W* control(Control control) const
    {
        return qobject_cast<W*>(window.control(control));
    }
    QListWidget* list() const { return control<QListWidget>(Control::List1); }
    // Presses a button with the answers its prompts will get.
    void click(Control button, std::initializer_list<Answer> script = {})
    {
        prompts.answers.insert(prompts.answers.end(), script);
        control<QPushButton>(button)->click();
    }
    std::string text(Control c) const
    {
        auto* combo = control<QComboBox>(c);
        return (combo ? combo->currentText() : control<QLineEdit>(c)->text()).toStdString();
    }
    // The list entries joined by "|", the selected one in brackets.
    std::string listed() const
    {
        QStringList entries;
        for (int row = 0; row < list()->count(); ++row)
            entries << QString(list()->item(row)->isSelected() ? "[%1]" : "%1").arg(list()->item(row)->text());
        return entries.join('|').toStdString();
    }
};

} // namespace brevorn::test
