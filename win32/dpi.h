// What the window needs to know about the screen's density, from functions newer Windows
// versions have: looked up when the program runs, so that older Windows still start it
// (at the system's density).
#pragma once

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

namespace brevorn {

// Dots per inch of the monitor the window is on.
UINT windowDpi(HWND window);

// The font Windows uses for message boxes (Segoe UI 9 on current versions), at that density.
LOGFONTW messageFont(UINT dpi);

// The font of window titles, at that density.
LOGFONTW captionFont(UINT dpi);

// A size Windows draws with (GetSystemMetrics: a scroll bar's width, the close box), at that
// density.
int systemMetric(int index, UINT dpi);

// The outer size of a window whose client area has the given size.
SIZE windowSizeForClient(SIZE client, DWORD style, DWORD exStyle, UINT dpi);

} // namespace brevorn
