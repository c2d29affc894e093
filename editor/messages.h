// Every word the window says: its caption, its questions and its messages.
#pragma once

#include "editor_view.h"
#include "roster_error.h"

#include <filesystem>
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

// A refused save: every problem at once. Value problems name the unit and the field by
// the caption of its label, e.g.
//   1st Platoon, "Ammo Used (x10%):" is "N/A"; needs a whole number from 0 to 10
// A file that cannot be written gives the error's own message.
ErrorMessage saveRefusalMessage(const RosterError& error);

// A save that put the file in place but has more to say, e.g.
//   Saved "/home/a/roster.txt", but its folder could not be flushed to disk (...), so the
//   change may not survive a power cut
ErrorMessage saveWarningMessage(const std::filesystem::path& file, const SaveOutcome& outcome);

} // namespace brevorn
