// A window under test: scripted dialog answers, a record of what was asked, controls by name.
#pragma once

#include "editor/brevorn_build.h"
#include "editor/dialogs.h"
#include "roster/unit_fields.h"

#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

#include <gtest/gtest.h>

#include <deque>
#include <optional>
#include <type_traits>

namespace brevorn::test {

inline QString dataPath(const char* name)
{
    return QStringLiteral(BREVORN_TEST_DATA_DIR "/") + QString::fromUtf8(name);
}

// Answers come from queues; a question with none queued fails the test and is cancelled.
struct ScriptedDialogs final : Dialogs
{
    std::deque<std::optional<QString>> paths; // for open and save alike
    std::deque<bool> yesNo;
    std::deque<QString> inputs;
    QStringList asked; // "open", "save", "yesno TEXT|TITLE", "input PROMPT|TITLE", "error TITLE|TEXT"

    std::optional<QString> openPath(QWidget*) override { return next(paths, "open", std::nullopt); }
    std::optional<QString> savePath(QWidget*) override { return next(paths, "save", std::nullopt); }
    bool askYesNo(QWidget*, const QString& text, const QString& title) override
    {
        return next(yesNo, "yesno " + text + '|' + title, false);
    }
    QString inputText(QWidget*, const QString& prompt, const QString& title) override
    {
        return next(inputs, "input " + prompt + '|' + title, QString());
    }
    void showError(QWidget*, const QString& title, const QString& text) override
    {
        asked << "error " + title + '|' + text;
    }

    template <class T>
    T next(std::deque<T>& answers, const QString& question, std::type_identity_t<T> cancel)
    {
        asked << question;
        if (answers.empty()) {
            ADD_FAILURE() << "unexpected question: " << question.toStdString();
            return cancel;
        }
        T answer = answers.front();
        answers.pop_front();
        return answer;
    }
};

// The fifteen editing controls in the file's field order.
inline const QStringList unitControls{"Text1",  "Combo1", "Combo2",  "Combo3",  "Combo4",  "Combo12", "Combo5", "Text2",
                                      "Combo7", "Combo9", "Combo10", "Combo11", "Combo16", "Combo8",  "Combo6"};

struct EditorWindow
{
    ScriptedDialogs dialogs;
    int endProgramCalls = 0;
    BrevornBuild window{dialogs, [this] { ++endProgramCalls; }};

    template <class W = QWidget>
    W* control(const QString& name) const
    {
        W* found = window.findChild<W*>(name);
        EXPECT_NE(found, nullptr) << name.toStdString();
        return found;
    }
    QListWidget* list() const { return control<QListWidget>("List1"); }
    void click(const char* button) { control<QPushButton>(button)->click(); }

    QLineEdit* field(const QString& name) const
    {
        auto* combo = window.findChild<QComboBox*>(name);
        return combo ? combo->lineEdit() : control<QLineEdit>(name);
    }
    QString text(const QString& name) const { return field(name)->text(); }
    void setText(const QString& name, const QString& value) { field(name)->setText(value); }

    QStringList shownUnit() const
    {
        QStringList texts;
        for (const QString& name : unitControls)
            texts << text(name);
        return texts;
    }
    QStringList listEntries() const
    {
        QStringList entries;
        for (int row = 0; row < list()->count(); ++row)
            entries << list()->item(row)->text();
        return entries;
    }
    int selectedRow() const
    {
        const auto selected = list()->selectedItems();
        return selected.isEmpty() ? -1 : list()->row(selected.first());
    }

    void load(const QString& path)
    {
        dialogs.paths.push_back(path);
        click("Command2");
    }
    void select(int row) { list()->setCurrentRow(row); }
    void addUnit(const QString& name, const QString& side)
    {
        dialogs.inputs.insert(dialogs.inputs.end(), {name, side});
        click("Command4");
    }
};

// A stored unit's texts in field order, unset counts as empty text: comparable with shownUnit().
inline QStringList recordTexts(const UnitRecord& unit)
{
    QStringList texts;
    for (const UnitField& field : unitFields)
        texts << QString::fromStdString(std::string(fieldText(unit, field)));
    return texts;
}

inline QByteArray fileBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

// A roster file of n units "Unit 1" .. "Unit n", named units-N.txt, in the folder.
inline QString writeUnitsFile(const QString& folder, int n)
{
    QByteArray text = "GAME:\r\nDay_Counter=1\r\n\r\nUNITS:\r\n";
    for (int i = 1; i <= n; ++i)
        text += "unit_name=Unit " + QByteArray::number(i) + "\r\nunit_side=Blue\r\nunit_used=no\r\n\r\n";
    QFile file(folder + QStringLiteral("/units-%1.txt").arg(n));
    EXPECT_TRUE(file.open(QIODevice::WriteOnly) && file.write(text) == text.size());
    return file.fileName();
}

} // namespace brevorn::test
