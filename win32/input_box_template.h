// The dialog template of the input box that "New Unit" asks with, built in memory: the
// program has no resource script for it, so that its words stay with the core's.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

namespace brevorn {

// The control id of the box's one text field; OK and Cancel have Windows' IDOK and IDCANCEL.
inline constexpr std::uint16_t InputBoxFieldId = 100;

// The box's width in dialog units, from its texts' widths in dialog units: the title's with
// the caption's close box and frame, the prompt's on one line. The prompt stands beside the
// buttons; a prompt too long for the widest box wraps onto the lines below.
inline constexpr short InputBoxNarrowest = 220;
inline constexpr short InputBoxWidest = 440;
short inputBoxWidth(int titleWidth, int promptWidth);

// A DLGTEMPLATE of the given width (dialog units) with its four items, in tab order: the prompt (a label, so that
// screen readers name the field after it), the field, OK (the default button) and Cancel. The words are the box's font
// (face name and points). The result is aligned as DialogBoxIndirectParam needs when its storage is.
std::vector<std::uint16_t> inputBoxTemplate(std::wstring_view title, std::wstring_view prompt,
                                            std::wstring_view fontFace, std::uint16_t fontPoints,
                                            short width = InputBoxNarrowest);

} // namespace brevorn
