// A test switch of the window: what a real-window test cannot see from outside. Under Wine
// the controls are no X windows of their own, so a driver learns every control's place,
// text and state from a file the window writes when asked.
#pragma once

#include <filesystem>
#include <string>

namespace brevorn {

class BrevornBuildWindow;

// The window's state as lines of UTF-8 text, places in screen pixels:
//   window LEFT TOP WIDTH HEIGHT        the client area
//   active HANDLE TITLE                 the program's active window: a dialog, or the window
//                                       itself; HANDLE tells two windows of one title apart
//   focus NAME                          the control with the focus; "none", or "other" for a dialog's
//   control NAME LEFT TOP WIDTH HEIGHT ENABLED   for each of the 44 controls, in tab order
//   text NAME TEXT                      for each text box and combo
//   dropped NAME ITEM                   for a combo whose list is open: its highlighted item, -1 for none
//   entry INDEX TEXT                    for each entry of List1
//   selected INDEX                      -1 for none
//   end
std::string describeState(const BrevornBuildWindow& window);

// Writes describeState to FILE whenever FILE.request exists, then removes the request. The
// text goes to a temporary file first and takes FILE's place in one step, so that a reader
// never sees half of it.
class StateReport
{
public:
    explicit StateReport(std::filesystem::path file);
    void serviceRequest(const BrevornBuildWindow& window);

private:
    std::filesystem::path m_file;
    std::filesystem::path m_request;
    std::filesystem::path m_temporary;
};

} // namespace brevorn
