// Prompts answered from a script, recording what was asked, so that a failure shows the
// whole conversation. Shared by the core's tests and the Qt window's tests.
#pragma once

#include "editor_view.h"
#include "injected_fault.h"

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

// Taken in the order the questions come: a path (as UTF-8 text, or as a path for a name
// that text cannot hold) or typed text, Yes/No as a bool, Cancel for a cancelled file
// dialog. A question without an answer fails the test.
using Answer = std::variant<Cancel, std::string, bool, std::filesystem::path>;

// Each question is recorded before a fault set for it is raised; the method names of the
// faults are the words that start the records ("open", "error", ...) and "end".
struct ScriptedPrompts final : EditorPrompts
{
    std::deque<Answer> answers;
    // "open", "save", "yesno TITLE|TEXT", "input TITLE|PROMPT", "error TITLE|TEXT",
    // "report TITLE|TEXT"
    std::vector<std::string> asked;
    // What each file dialog was asked to start with, in order.
    std::vector<FileRequest> fileRequests;
    int endProgramCalls = 0;
    FaultPoint fault;

    std::optional<std::filesystem::path> openPath(const FileRequest& r) override
    {
        fileRequests.push_back(r);
        return path(take("open", "open"));
    }
    std::optional<std::filesystem::path> savePath(const FileRequest& r) override
    {
        fileRequests.push_back(r);
        return path(take("save", "save"));
    }
    bool askYesNo(const Question& q) override { return as<bool>(take("yesno", "yesno " + q.title + '|' + q.text)); }
    std::string inputText(const InputRequest& r) override
    {
        return as<std::string>(take("input", "input " + r.title + '|' + r.prompt));
    }
    void showError(const ErrorMessage& m) override
    {
        asked.push_back("error " + m.title + '|' + m.text);
        fault.enter("error");
    }
    void endProgram() override
    {
        fault.enter("end");
        ++endProgramCalls;
    }
    void showReport(const ErrorMessage& m) override
    {
        asked.push_back("report " + m.title + '|' + m.text);
        fault.enter("report");
    }

    Answer take(std::string_view method, std::string question)
    {
        asked.push_back(std::move(question));
        fault.enter(method);
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
        if (const auto* path = std::get_if<std::filesystem::path>(&answer))
            return *path;
        return as<std::string>(answer);
    }
};

} // namespace brevorn::test
