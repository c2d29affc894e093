// The input box, run from its in-memory template by the dialog manager.
#include "input_box.h"

#include "dpi.h"
#include "input_box_template.h"

#include <vector>

namespace brevorn {

namespace {

std::wstring fieldText(HWND field)
{
    std::wstring text(std::size_t(::GetWindowTextLengthW(field)) + 1, L'\0');
    text.resize(std::size_t(::GetWindowTextW(field, text.data(), int(text.size()))));
    return text;
}

INT_PTR CALLBACK inputBoxProc(HWND box, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG: {
        ::SetWindowLongPtrW(box, DWLP_USER, lParam);
        HWND field = ::GetDlgItem(box, InputBoxFieldId);
        // No limit: the default would stop typing at 32,767 characters.
        ::SendMessageW(field, EM_SETLIMITTEXT, 0, 0);
        ::SetFocus(field);
        return FALSE; // the focus is set
    }
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDOK:
            *reinterpret_cast<std::wstring*>(::GetWindowLongPtrW(box, DWLP_USER)) =
                fieldText(::GetDlgItem(box, InputBoxFieldId));
            ::EndDialog(box, IDOK);
            return TRUE;
        case IDCANCEL: // also the close box and Escape
            ::EndDialog(box, IDCANCEL);
            return TRUE;
        }
        break;
    }
    return FALSE;
}

} // namespace

std::wstring showInputBox(HWND owner, std::wstring_view title, std::wstring_view prompt)
{
    const UINT dpi = windowDpi(owner);
    const LOGFONTW font = messageFont(dpi);
    const int points = ::MulDiv(font.lfHeight < 0 ? -font.lfHeight : font.lfHeight, 72, int(dpi));
    const std::vector<std::uint16_t> layout = inputBoxTemplate(title, prompt, font.lfFaceName, std::uint16_t(points));
    std::wstring answer;
    const INT_PTR result =
        ::DialogBoxIndirectParamW(::GetModuleHandleW(nullptr), reinterpret_cast<LPCDLGTEMPLATEW>(layout.data()), owner,
                                  inputBoxProc, reinterpret_cast<LPARAM>(&answer));
    return result == IDOK ? answer : std::wstring();
}

} // namespace brevorn
