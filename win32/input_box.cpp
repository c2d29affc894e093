// The input box, run from its in-memory template by the dialog manager.
#include "input_box.h"

#include "dpi.h"
#include "input_box_template.h"

#include <algorithm>
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

// Pixels of a text in a font.
int textWidth(HDC dc, const LOGFONTW& description, std::wstring_view text)
{
    HFONT font = ::CreateFontIndirectW(&description);
    HGDIOBJ previous = ::SelectObject(dc, font);
    SIZE size{};
    ::GetTextExtentPoint32W(dc, text.data(), int(text.size()), &size);
    ::SelectObject(dc, previous);
    ::DeleteObject(font);
    return size.cx;
}

// The box's width in dialog units: its title measured in the caption's font, its prompt in
// the box's own, both turned into dialog units of the box's font.
short measuredWidth(UINT dpi, const LOGFONTW& boxFont, std::wstring_view title, std::wstring_view prompt)
{
    HDC dc = ::GetDC(nullptr);
    // A dialog unit across is a quarter of the font's average letter.
    constexpr std::wstring_view alphabet = L"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
    const int averageLetter = std::max(1, (textWidth(dc, boxFont, alphabet) / 26 + 1) / 2);
    const int titlePixels = textWidth(dc, captionFont(dpi), title);
    const int promptPixels = textWidth(dc, boxFont, prompt);
    ::ReleaseDC(nullptr, dc);

    // Beside the title: the frame on both sides, the close box, and room for an icon.
    const SIZE frame =
        windowSizeForClient(SIZE{0, 0}, DS_MODALFRAME | WS_POPUP | WS_CAPTION | WS_SYSMENU, WS_EX_DLGMODALFRAME, dpi);
    const int captionExtras = frame.cx + ::GetSystemMetrics(SM_CXSIZE) + ::GetSystemMetrics(SM_CXSMICON);
    auto dialogUnits = [averageLetter](int pixels) { return ::MulDiv(pixels, 4, averageLetter) + 1; };
    return inputBoxWidth(dialogUnits(titlePixels + captionExtras), dialogUnits(promptPixels));
}

} // namespace

std::wstring showInputBox(HWND owner, std::wstring_view title, std::wstring_view prompt)
{
    const UINT dpi = windowDpi(owner);
    const LOGFONTW font = messageFont(dpi);
    const int points = ::MulDiv(font.lfHeight < 0 ? -font.lfHeight : font.lfHeight, 72, int(dpi));
    const std::vector<std::uint16_t> layout = inputBoxTemplate(title, prompt, font.lfFaceName, std::uint16_t(points),
                                                               measuredWidth(dpi, font, title, prompt));
    std::wstring answer;
    const INT_PTR result =
        ::DialogBoxIndirectParamW(::GetModuleHandleW(nullptr), reinterpret_cast<LPCDLGTEMPLATEW>(layout.data()), owner,
                                  inputBoxProc, reinterpret_cast<LPARAM>(&answer));
    return result == IDOK ? answer : std::wstring();
}

} // namespace brevorn
