// Prompts answered from a script, recording what was asked, so that a failure shows the
// whole conversation; and the faults a fake can be told to raise. Shared by the core's tests
// and the Qt window's tests.
#pragma once

#include "editor_view.h"

#include <gtest/gtest.h>

#include <deque>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace brevorn::test {

// The Nth call of one method of a fake throws (and with everyCallAfter the later calls
// too), so that a test can stop a command at any step and look at what it leaves behind.
struct FaultPoint
{
    std::string method; // as the fake names it, e.g. "setText", "input"; empty for none
    int call = 1;       // counted from 1, from when the fault is set
    void (*raise)() = nullptr;
    bool everyCallAfter = false;
    mutable int calls = 0; // the view's getters are const

    // Each faultable method of a fake calls this first.
    void enter(std::string_view name) const
    {
        if (name == method && (++calls == call || (everyCallAfter && calls > call)))
            raise();
    }
};

// A cancelled file dialog.
using Cancel = std::monostate;

// Taken in the order the questions come: a path (as UTF-8 text, or as a path for a name
// that text cannot hold) or typed text, Yes/No as a bool, Cancel for a cancelled file
// dialog. A question without an answer fails the test.
using Answer = std::variant<Cancel, std::string, bool, std::filesystem::path>;

// Each question is recorded before a fault set for it is raised; the method names of the
// faults are the words that start the records ("open", "error", ...).
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

    std::optional<std::filesystem::path> openPath(const FileRequest& r) override { return filePath("open", r); }
    std::optional<std::filesystem::path> savePath(const FileRequest& r) override { return filePath("save", r); }
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
    void showReport(const ErrorMessage& m) override { asked.push_back("report " + m.title + '|' + m.text); }
    void endProgram() override { ++endProgramCalls; }

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
    std::optional<std::filesystem::path> filePath(const char* kind, const FileRequest& request)
    {
        fileRequests.push_back(request);
        const Answer answer = take(kind, kind);
        if (std::holds_alternative<Cancel>(answer))
            return std::nullopt;
        if (const auto* path = std::get_if<std::filesystem::path>(&answer))
            return *path;
        return as<std::string>(answer);
    }
};

} // namespace brevorn::test
