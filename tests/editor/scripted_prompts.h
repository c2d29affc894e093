// Prompts answered from a script, recording what was asked, so that a failure shows the
// whole conversation. Shared by the core's tests and the Qt window's tests.
#pragma once

#include "editor_view.h"

#include <gtest/gtest.h>

#include <deque>
#include <string>
#include <variant>
#include <vector>

namespace brevorn::test {

// A cancelled file dialog.
struct Cancel
{
};

// Taken in the order the questions come: a path or typed text, Yes/No as a bool, Cancel
// for a cancelled file dialog. A question without an answer fails the test.
using Answer = std::variant<Cancel, std::string, bool>;

struct ScriptedPrompts final : EditorPrompts
{
    std::deque<Answer> answers;
    // "open", "save", "yesno TITLE|TEXT", "input TITLE|PROMPT", "error TITLE|TEXT",
    // "report TITLE|TEXT"
    std::vector<std::string> asked;
    // What each file dialog was asked to start with, in order.
    std::vector<FileRequest> fileRequests;
    int endProgramCalls = 0;

    std::optional<std::filesystem::path> openPath(const FileRequest& r) override
    {
        fileRequests.push_back(r);
        return path(take("open"));
    }
    std::optional<std::filesystem::path> savePath(const FileRequest& r) override
    {
        fileRequests.push_back(r);
        return path(take("save"));
    }
    bool askYesNo(const Question& q) override { return as<bool>(take("yesno " + q.title + '|' + q.text)); }
    std::string inputText(const InputRequest& r) override
    {
        return as<std::string>(take("input " + r.title + '|' + r.prompt));
    }
    void showError(const ErrorMessage& m) override { asked.push_back("error " + m.title + '|' + m.text); }
    void showReport(const ErrorMessage& m) override { asked.push_back("report " + m.title + '|' + m.text); }
    void endProgram() override { ++endProgramCalls; }

    Answer take(std::string question)
    {
        asked.push_back(std::move(question));
        EXPECT_FALSE(answers.empty()) << "unexpected question: " << asked.back();
        if (answers.empty())
            return Cancel{};
        Answer answer = answers.front();
        answers.pop_front();
        return answer;
    }
    template <class T>
    static T as(const Answer& answer)
    {
        EXPECT_TRUE(std::holds_alternative<T>(answer)) << "the script answers the wrong kind of question";
        return std::holds_alternative<T>(answer) ? std::get<T>(answer) : T{};
    }
    static std::optional<std::filesystem::path> path(const Answer& answer)
    {
        if (std::holds_alternative<Cancel>(answer))
            return std::nullopt;
        return as<std::string>(answer);
    }
};

} // namespace brevorn::test
