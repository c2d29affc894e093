// The wording of the window's questions and messages.
#include "messages.h"

#include "decimal_form.h"
#include "roster.h"
#include "window_layout.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <new>
#include <system_error>
#include <vector>

namespace brevorn {

namespace {

std::string caption()
{
    return std::string(WindowCaption);
}

// The refused fields stand under their unit, indented.
constexpr std::string_view FieldIndent = "    ";

std::string inQuotes(std::string_view text)
{
    return '"' + std::string(text) + '"';
}

// The unit as the list shows it, so that the user can find it there.
std::string describeUnit(int slot, std::span<const ListedUnit> units)
{
    std::string where = "unit " + std::to_string(slot);
    if (slot < 1 || std::size_t(slot) > units.size())
        return where;
    const ListedUnit& unit = units[std::size_t(slot) - 1];
    where += ' ' + inQuotes(unit.shown);
    if (unit.now != unit.shown)
        where += " (now " + inQuotes(unit.now) + ')';
    return where;
}

// "Ammo Used (x10%):" is "N/A"; needs a whole number from 0 to 10
std::string describeField(const ValueProblem& problem)
{
    std::string_view label = fieldCaption(problem.fieldKey);
    if (label.empty())
        label = problem.fieldKey;
    return inQuotes(label) + " is " + inQuotes(problem.text) + "; needs " + problem.allowed;
}

// The library words its rules and warnings as clauses; a message box or a hint starts a
// sentence.
std::string sentence(std::string clause)
{
    if (!clause.empty())
        clause[0] = char(std::toupper(static_cast<unsigned char>(clause[0])));
    return clause;
}

// "A whole number from 0 to 10; N/A and empty are refused on SAVE"
std::string wholeNumberHint(int maximum, std::string_view refused)
{
    return sentence(decimalFormRule(maximum)) + "; " + std::string(refused) + " refused on SAVE";
}

// What the user calls the command an event runs: a button by its caption.
std::string commandName(WindowEvent event)
{
    auto button = [](Control control) { return inQuotes(controlRow(control).caption); };
    switch (event) {
    case WindowEvent::Form_Load:
        return "Filling the drop-down lists";
    case WindowEvent::List1_Click:
        return "Showing the unit picked in the list";
    case WindowEvent::Command1_Click:
        return button(Control::Command1);
    case WindowEvent::Command2_Click:
        return button(Control::Command2);
    case WindowEvent::Command3_Click:
        return button(Control::Command3);
    case WindowEvent::Command4_Click:
        return button(Control::Command4);
    case WindowEvent::Command5_Click:
        return button(Control::Command5);
    }
    return "The last command";
}

// Why a command stopped, in words for the user; empty where the failure tells nothing.
std::string failureReason(const std::exception_ptr& failure)
{
    if (!failure)
        return {};
    try {
        std::rethrow_exception(failure);
    } catch (const std::bad_alloc&) {
        return "there was not enough memory";
    } catch (const std::filesystem::filesystem_error& error) {
        if (error.code() == std::errc::illegal_byte_sequence)
            return "a file name holds characters that cannot be converted";
        std::string reason = "the system reported " + inQuotes(error.code().message());
        if (!error.path1().empty())
            reason += " for " + quotedPath(error.path1());
        return reason;
    } catch (const std::system_error& error) {
        return "the system reported " + inQuotes(error.code().message());
    } catch (const std::exception& error) {
        return error.what();
    } catch (...) {
        return {};
    }
}

constexpr std::array<FileFilter, 2> rosterFilters{{
    {"Roster files", "*.txt"},
    {"All files", "*"},
}};

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

ErrorMessage saveRefusalMessage(const RosterError& error, std::span<const ListedUnit> units)
{
    if (error.problems.empty())
        return {caption(), error.message};
    // The problems in order of their units, the game settings first, each group under one
    // line that says where its fields are.
    std::vector<const ValueProblem*> problems;
    for (const ValueProblem& problem : error.problems)
        problems.push_back(&problem);
    std::ranges::stable_sort(problems, {}, &ValueProblem::slot);
    std::string text = "Nothing was saved. Change these values and save again:\n";
    for (std::size_t i = 0; i < problems.size(); ++i) {
        const int slot = problems[i]->slot;
        if (i == 0 || problems[i - 1]->slot != slot)
            text += '\n' + (slot > 0 ? describeUnit(slot, units) : std::string("Game settings"));
        text += "\n" + std::string(FieldIndent) + describeField(*problems[i]);
    }
    return {caption(), text};
}

ErrorMessage unfinishedCommandMessage(WindowEvent event, std::exception_ptr failure)
{
    std::string text = commandName(event) + " did not finish";
    if (std::string reason = failureReason(failure); !reason.empty())
        text += ": " + reason;
    if (!text.ends_with('.'))
        text += '.';
    // At start-up there is no roster yet; a list that is not filled still takes typing.
    if (event == WindowEvent::Form_Load)
        text += " Some drop-down lists may be incomplete; any value can still be typed.";
    else
        text += "\n\nThe roster is still in the editor. Save it with SAVE before you go on.";
    return {caption(), text};
}

ErrorMessage saveWarningMessage(const std::filesystem::path& file, const SaveOutcome& outcome)
{
    return {caption(), sentence(outcome.describe(file))};
}

ErrorMessage writeFailureMessage(const RosterError& error)
{
    return {caption(), error.message};
}

std::span<const FileFilter> rosterFileFilters()
{
    return rosterFilters;
}

std::string toolTip(Control control)
{
    std::string hint;
    switch (control) {
    case Control::Combo2:
    case Control::Combo3:
    case Control::Combo7:
        hint = wholeNumberHint(MaxCount, "N/A and empty are");
        break;
    case Control::Combo13:
        hint = wholeNumberHint(MaxDayCounter, "empty is");
        break;
    case Control::Command2:
        hint = "Open a roster file; once per run";
        break;
    case Control::Command3:
        hint = "Save the roster to a file";
        break;
    default:
        break;
    }
    for (const ButtonShortcut& shortcut : buttonShortcuts)
        if (shortcut.button == control)
            hint += " (" + shortcutText(shortcut) + ')';
    return hint;
}

} // namespace brevorn
