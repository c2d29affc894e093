// The core's type list of a file dialog in the form the common dialogs read.
#pragma once

#include "editor_view.h"

#include <span>
#include <string>

namespace brevorn {

// Pairs of a shown name and its patterns, each ended by a null character, the list ended
// by one more: "Roster files (*.txt)\0*.txt\0All files (*.*)\0*.*\0\0". Windows writes
// "every file" as *.*, so a bare * becomes *.*.
std::wstring fileDialogFilter(std::span<const FileFilter> filters);

// The ending the Save As dialog adds to a name typed without one: that of the first
// type's first pattern ("txt" for *.txt); empty where that pattern names no one ending.
std::wstring defaultExtension(std::span<const FileFilter> filters);

} // namespace brevorn
