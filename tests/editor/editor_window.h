// A window under test that answers its own dialogs from a script, records what was asked, and
// dumps the window's state as short strings, so that a failure shows both sides.
#pragma once

#include "editor/brevorn_build.h"
#include "editor/dialogs.h"
#include "unit_fields.h"

#include <QComboBox>
#include <QFile>
#include <QListWidget>
#include <QPushButton>

#include <gtest/gtest.h>

namespace brevorn::test {

inline const QString dataDir = QStringLiteral(BREVORN_TEST_DATA_DIR "/");

// The fifteen editing controls in the order of the unit fields in the file.
inline const QStringList unitControls{"Text1",  "Combo1", "Combo2",  "Combo3",  "Combo4",  "Combo12", "Combo5", "Text2",
                                      "Combo7", "Combo9", "Combo10", "Combo11", "Combo16", "Combo8",  "Combo6"};

struct EditorWindow final : Dialogs
{
    using Text = const QString&;
    // Taken in the order the questions come: a path or typed text, Yes/No as a bool, and an
    // invalid QVariant for a cancelled file dialog. A question without an answer fails the test.
    QVariantList answers;
    std::vector<std::string> asked; // "open", "save", "yesno TEXT|TITLE", "input PROMPT|TITLE", "error TITLE|TEXT"
    int endProgramCalls = 0;
    BrevornBuild window{*this, [this] { ++endProgramCalls; }};

    std::optional<QString> openPath(QWidget*) override { return path(ask("open")); }
    std::optional<QString> savePath(QWidget*) override { return path(ask("save")); }
    bool askYesNo(QWidget*, Text text, Text title) override { return ask("yesno", text, title).toBool(); }
    QString inputText(QWidget*, Text text, Text title) override { return ask("input", text, title).toString(); }
    void showError(QWidget*, Text title, Text text) override
    {
        asked.push_back(("error " + title + '|' + text).toStdString());
    }
    QVariant ask(Text kind, Text text = {}, Text title = {})
    {
        asked.push_back((text.isEmpty() ? kind : kind + ' ' + text + '|' + title).toStdString());
        EXPECT_FALSE(answers.isEmpty()) << "unexpected question: " << asked.back();
        return answers.isEmpty() ? QVariant() : answers.takeFirst();
    }
    std::optional<QString> path(const QVariant& a) { return a.isValid() ? std::optional(a.toString()) : std::nullopt; }

    template <class W = QWidget>
    W* control(Text name) const
    {
        return window.findChild<W*>(name);
    }
    QListWidget* list() const { return control<QListWidget>("List1"); }
    // Presses a button with the answers its dialogs will get.
    void click(Text button, const QVariantList& script = {})
    {
        answers += script;
        control<QPushButton>(button)->click();
    }
    void load(Text file) { click("Command2", {file.startsWith('/') ? file : dataDir + file}); }
    void addUnit(Text name, Text side) { click("Command4", {name, side}); }
    // A combo's text is the text of its field.
    static const char* textOf(Text name) { return name.startsWith("Combo") ? "currentText" : "text"; }
    std::string text(Text name) const { return control(name)->property(textOf(name)).toString().toStdString(); }
    void setText(Text name, Text value) { control(name)->setProperty(textOf(name), value); }

    // The texts of the editing controls, joined by "|".
    std::string shown() const
    {
        std::string texts = text("Text1");
        for (const QString& name : unitControls.mid(1))
            texts += '|' + text(name);
        return texts;
    }
    // A slot's fields in the same order, "~" for a count that is unset.
    std::string slot(int s) const
    {
        const UnitRecord& unit = window.roster().UnitTable[s];
        QStringList texts;
        for (const UnitField& f : unitFields)
            texts << (f.count && !(unit.*f.count) ? "~" : QString::fromUtf8(fieldText(unit, f)));
        return texts.join('|').toStdString();
    }
    // The list entries joined by "|", the selected one in brackets.
    std::string listed() const
    {
        QStringList entries;
        for (int row = 0; row < list()->count(); ++row)
            entries << QString(list()->item(row)->isSelected() ? "[%1]" : "%1").arg(list()->item(row)->text());
        return entries.join('|').toStdString();
    }
    // Day, theatre and season as the game combos show them.
    std::string game() const { return text("Combo13") + '|' + text("Combo15") + '|' + text("Combo14"); }
};

inline std::string fileBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll().toStdString() : "<unreadable>";
}

} // namespace brevorn::test
