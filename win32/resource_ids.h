// The numbers that tie the resource script's dialogs and shortcuts to the code: read by the
// resource compiler as well as by C++, so plain #defines only.
#pragma once

// A message of many lines in selectable text, with OK.
#define IDD_REPORT_BOX 101
#define IDC_REPORT_TEXT 1010
