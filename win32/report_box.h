// The box for a message of many lines: its text read-only but selectable, so that it can be
// copied, as wide as its longest line up to the screen's width, scrolling when long.
#pragma once

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <string_view>

namespace brevorn {

// Shows the text (lines separated by "\n") modally over owner until OK, Enter or Escape.
void showReportBox(HWND owner, std::wstring_view title, std::wstring_view text);

} // namespace brevorn
