// The input box from the program's resources: its title and prompt set when it opens, and as
// wide as they need in the message font.
#include "input_box.h"

#include "dialog_layout.h"
#include "resource_ids.h"

#include <algorithm>

namespace brevorn {

namespace {

struct InputBox
{
    std::wstring_view title;
    std::wstring_view prompt;
    const DialogFont& font;
    std::wstring answer;
};

std::wstring fieldText(HWND field)
{
    std::wstring text(std::size_t(::GetWindowTextLengthW(field)) + 1, L'\0');
    text.resize(std::size_t(::GetWindowTextW(field, text.data(), int(text.size()))));
    return text;
}

// Wide enough for the title and for the prompt on one line beside the buttons, up to the
// screen's width: the prompt and the field grow, the buttons keep to the right.
void fitTexts(HWND box, const InputBox& input)
{
    useFont(box, input.font);
    RECT client{};
    ::GetClientRect(box, &client);
    const RECT prompt = itemPlace(box, IDC_INPUT_PROMPT);
    const int promptNeeds = client.right - (prompt.right - prompt.left) + input.font.width(input.prompt);
    const int width = std::min(std::max({int(client.right), promptNeeds, titleWidth(box, input.font)}),
                               int(largestClient(box, input.font).cx));
    const int wider = width - client.right;
    for (int id : {IDC_INPUT_PROMPT, IDC_INPUT_FIELD}) {
        RECT place = itemPlace(box, id);
        place.right += wider;
        placeItem(box, id, place);
    }
    for (int id : {IDOK, IDCANCEL}) {
        RECT place = itemPlace(box, id);
        ::OffsetRect(&place, wider, 0);
        placeItem(box, id, place);
    }
    resizeDialog(box, SIZE{width, client.bottom}, input.font);
}

INT_PTR CALLBACK inputBoxProc(HWND box, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG: {
        ::SetWindowLongPtrW(box, DWLP_USER, lParam);
        const auto& input = *reinterpret_cast<const InputBox*>(lParam);
        ::SetWindowTextW(box, std::wstring(input.title).c_str());
        ::SetDlgItemTextW(box, IDC_INPUT_PROMPT, std::wstring(input.prompt).c_str());
        fitTexts(box, input);
        HWND field = ::GetDlgItem(box, IDC_INPUT_FIELD);
        // No limit: the default would stop typing at 32,767 characters.
        ::SendMessageW(field, EM_SETLIMITTEXT, 0, 0);
        ::SetFocus(field);
        return FALSE; // the focus is set
    }
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDOK:
            reinterpret_cast<InputBox*>(::GetWindowLongPtrW(box, DWLP_USER))->answer =
                fieldText(::GetDlgItem(box, IDC_INPUT_FIELD));
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
    const DialogFont font(owner);
    InputBox input{title, prompt, font, {}};
    const INT_PTR result = ::DialogBoxParamW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDD_INPUT_BOX), owner,
                                             inputBoxProc, reinterpret_cast<LPARAM>(&input));
    return result == IDOK ? input.answer : std::wstring();
}

} // namespace brevorn
