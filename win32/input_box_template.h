// The dialog template of the input box that "New Unit" asks with, built in memory: the
// program has no resource script for it, so that its words stay with the core's.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

namespace brevorn {

// The control id of the box's one text field; OK and Cancel have Windows' IDOK and IDCANCEL.
inline constexpr std::uint16_t InputBoxFieldId = 100;

// A DLGTEMPLATE with its four items, in tab order: the prompt (a label, so that screen
// readers name the field after it), the field, OK (the default button) and Cancel. The
// words are the box's font (face name and points). The result is aligned as
// DialogBoxIndirectParam needs when its storage is.
std::vector<std::uint16_t> inputBoxTemplate(std::wstring_view title, std::wstring_view prompt,
                                            std::wstring_view fontFace, std::uint16_t fontPoints);

} // namespace brevorn
