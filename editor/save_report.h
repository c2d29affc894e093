// How a refused save is told to the user: every problem at once, in the window's words.
#pragma once

#include "roster_error.h"

#include <QString>

namespace brevorn {

// One message for the whole refusal. Value problems name the unit and the field by
// the caption of its label, e.g.
//   1st Platoon, "Ammo Used (x10%):" is "N/A"; choose a number from 0 to 10
// A file that cannot be written gives the error's own message.
QString describeSaveRefusal(const RosterError& error);

} // namespace brevorn
