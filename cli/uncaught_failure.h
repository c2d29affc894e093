// What brevorn-roster says when something was thrown that no command handles.
#pragma once

#include <ostream>
#include <string_view>

namespace brevorn {

// Call from a catch block. Writes one line on err naming the command that did not finish
// (none when command is empty) and what stopped it, and returns the exit code for it, 2.
int reportUncaughtFailure(std::string_view command, std::ostream& err) noexcept;

} // namespace brevorn
