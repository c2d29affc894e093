// The wording of the window's questions and messages.
#include "messages.h"

#include "roster.h"
#include "window_layout.h"

namespace brevorn {

namespace {

std::string caption()
{
    return std::string(WindowCaption);
}

std::string describeProblem(const ValueProblem& problem)
{
    std::string line;
    if (problem.slot > 0) {
        // An unnamed unit is known by its place in the list.
        line = problem.unitName.empty() ? "Unit " + std::to_string(problem.slot) : problem.unitName;
        line += ", ";
    }
    std::string_view label = fieldCaption(problem.fieldKey);
    if (label.empty())
        label = problem.fieldKey;
    line += '"' + std::string(label) + "\" is \"" + problem.text + "\"; needs " + problem.allowed;
    return line;
}

} // namespace

Question exitQuestion()
{
    return {.title = "Exit?", .text = "Exit?"};
}

InputRequest unitNameRequest()
{
    return {.title = "New Unit Name", .prompt = "Please enter unit name"};
}

InputRequest unitSideRequest()
{
    return {.title = "New Unit Side", .prompt = "Please enter unit side"};
}

Question loadReplaceQuestion(int unitCount, const std::filesystem::path& file)
{
    const std::string units = unitCount == 1 ? "the 1 unit" : "the " + std::to_string(unitCount) + " units";
    return {caption(), "Loading replaces " + units + " in the editor. Load " + quotedPath(file) + "?"};
}

ErrorMessage rosterFullMessage()
{
    return {caption(), "The roster holds " + std::to_string(MaxUnits) + " units, the most it can hold."};
}

ErrorMessage readFailureMessage(const RosterError& error)
{
    return {caption(), error.message};
}

ErrorMessage saveRefusalMessage(const RosterError& error)
{
    if (error.problems.empty())
        return {caption(), error.message};
    std::string text = "Nothing was saved. Change these values and save again:\n";
    for (const ValueProblem& problem : error.problems)
        text += '\n' + describeProblem(problem);
    return {caption(), text};
}

ErrorMessage saveWarningMessage(const std::filesystem::path& file, const SaveOutcome& outcome)
{
    std::string text = outcome.describe(file);
    // The library's wording starts a clause; the message box starts a sentence.
    if (!text.empty())
        text[0] = 'S';
    return {caption(), text};
}

} // namespace brevorn
