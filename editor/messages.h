// Every word the window says: its caption, its questions and its messages.
#pragma once

#include "editor_view.h"
#include "roster_error.h"

#include <exception>
#include <filesystem>
#include <span>
#include <string>
#include <string_view>

namespace brevorn {

inline constexpr std::string_view WindowCaption = "Steelvane Brevorn Builder";

// Asked after every save; Yes ends the program.
Question exitQuestion();

// The two questions of "New Unit".
InputRequest unitNameRequest();
InputRequest unitSideRequest();

// Asked before LOAD reads a file over the units the editor holds.
Question loadReplaceQuestion(int unitCount, const std::filesystem::path& file);

// "New Unit" when the table is full.
ErrorMessage rosterFullMessage();

// A file LOAD could not read: the reader's own message names the file and the reason.
ErrorMessage readFailureMessage(const RosterError& error);

// How the user finds a unit: its list entry as shown, and the entry its name and side
// would make now ("Save Edit" changes the unit, not the entry).
struct ListedUnit
{
    std::string shown;
    std::string now;
};

// A refused save: every problem at once, a line for each unit with its fields indented
// under it, the game settings first. A unit is named by its place in the list and its entry
// there (with the new text when it differs), a field by its label, e.g.
//   unit 2 "Kampfgruppe Müller - Red" (now "KG Weber - Red")
//       "Fuel Used (x10%):" is ""; needs a whole number from 0 to 10
// units[slot - 1] is the unit in that slot. Shown with showReport, as it may be long.
ErrorMessage saveRefusalMessage(const RosterError& error, std::span<const ListedUnit> units);

// A file SAVE could not write: the error's own message names the file and the reason.
ErrorMessage writeFailureMessage(const RosterError& error);

// The type lists of the open and save dialogs: roster files first, then all files.
std::span<const FileFilter> rosterFileFilters();

// The hint shown when the pointer rests on a control; empty for none. A button with a
// shortcut names it.
std::string toolTip(Control control);

// A command that stopped part-way because something failed under it, e.g.
//   "New Unit" did not finish: there was not enough memory.
//
//   The roster is still in the editor. Save it with SAVE before you go on.
// The reason is given in plain words where the failure tells one; a null failure gives
// none.
ErrorMessage unfinishedCommandMessage(WindowEvent event, std::exception_ptr failure);

// A save that put the file in place but has more to say, e.g.
//   Saved "/home/a/roster.txt", but its folder could not be flushed to disk (...), so the
//   change may not survive a power cut
ErrorMessage saveWarningMessage(const std::filesystem::path& file, const SaveOutcome& outcome);

} // namespace brevorn
