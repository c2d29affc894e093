// The input box of "New Unit": a prompt, a field that starts empty, OK and Cancel.
#pragma once

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <string>
#include <string_view>

namespace brevorn {

// Asks modally over owner. The field's text on OK; the empty text on Cancel, Escape or the
// close box.
std::wstring showInputBox(HWND owner, std::wstring_view title, std::wstring_view prompt);

} // namespace brevorn
