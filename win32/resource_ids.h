// The numbers that tie the resource script's dialogs and shortcuts to the code: read by the
// resource compiler as well as by C++, so plain #defines only.
#pragma once

// Ctrl+O and Ctrl+S. Each sends the command of the button it presses: that button's control
// id, the window's first control id (100) plus the button's row in the control table.
#define IDR_SHORTCUTS 1
#define IDC_LOAD_BUTTON 101
#define IDC_SAVE_BUTTON 102

// The input box of "New Unit": a prompt, a field, OK and Cancel.
#define IDD_INPUT_BOX 100
#define IDC_INPUT_PROMPT 1000
#define IDC_INPUT_FIELD 1001

// A message of many lines in selectable text, with OK.
#define IDD_REPORT_BOX 101
#define IDC_REPORT_TEXT 1010
