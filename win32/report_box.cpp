// The report box from the program's resources, sized for its text in the message font.
#include "report_box.h"

#include "dialog_layout.h"
#include "resource_ids.h"

#include <algorithm>
#include <string>
#include <vector>

namespace brevorn {

namespace {

struct ReportBox
{
    std::wstring_view title;
    std::vector<std::wstring_view> lines;
    const DialogFont& font;
};

std::vector<std::wstring_view> linesOf(std::wstring_view text)
{
    std::vector<std::wstring_view> lines;
    for (std::size_t start = 0;;) {
        const std::size_t end = text.find(L'\n', start);
        lines.push_back(text.substr(start, end - start));
        if (end == std::wstring_view::npos)
            return lines;
        start = end + 1;
    }
}

// An edit control breaks lines at CR LF only.
std::wstring editText(const std::vector<std::wstring_view>& lines)
{
    std::wstring text;
    for (std::wstring_view line : lines)
        text.append(text.empty() ? L"" : L"\r\n").append(line);
    return text;
}

// The size of the text field that shows every line whole: the longest line across and all
// of them down, a letter of slack for the caret, and what the field keeps around its text
// (its frame and margins, and both scroll bars, which show when the box is capped by the
// screen), measured from the field as it is.
SIZE textFieldSize(HWND field, const ReportBox& report)
{
    int longest = 0;
    for (std::wstring_view line : report.lines)
        longest = std::max(longest, report.font.width(line));
    RECT outer{}, text{};
    ::GetWindowRect(field, &outer);
    ::SendMessageW(field, EM_GETRECT, 0, reinterpret_cast<LPARAM>(&text));
    const SIZE around{(outer.right - outer.left) - (text.right - text.left),
                      (outer.bottom - outer.top) - (text.bottom - text.top)};
    return SIZE{longest + report.font.width(L"W") + around.cx,
                int(report.lines.size()) * report.font.lineHeight() + around.cy};
}

// The text field as large as its text, up to what the screen holds; OK stays at the bottom
// right, the margins as the resource gives them.
void fitText(HWND box, const ReportBox& report)
{
    useFont(box, report.font);
    RECT client{};
    ::GetClientRect(box, &client);
    RECT field = itemPlace(box, IDC_REPORT_TEXT);
    RECT ok = itemPlace(box, IDOK);
    const SIZE text = textFieldSize(::GetDlgItem(box, IDC_REPORT_TEXT), report);
    const SIZE around{client.right - (field.right - field.left), client.bottom - (field.bottom - field.top)};
    const SIZE room = largestClient(box, report.font);
    const SIZE size{std::min(std::max(text.cx + around.cx, LONG(titleWidth(box, report.font))), room.cx),
                    std::min(text.cy + around.cy, room.cy)};
    field.right = size.cx - (client.right - field.right);
    field.bottom = size.cy - (client.bottom - field.bottom);
    placeItem(box, IDC_REPORT_TEXT, field);
    ::OffsetRect(&ok, size.cx - client.right, size.cy - client.bottom);
    placeItem(box, IDOK, ok);
    resizeDialog(box, size, report.font);
}

INT_PTR CALLBACK reportBoxProc(HWND box, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG: {
        const auto& report = *reinterpret_cast<const ReportBox*>(lParam);
        ::SetWindowTextW(box, std::wstring(report.title).c_str());
        HWND field = ::GetDlgItem(box, IDC_REPORT_TEXT);
        // Longer than the 32,767 characters an edit control takes by default.
        ::SendMessageW(field, EM_SETLIMITTEXT, 0, 0);
        ::SetWindowTextW(field, editText(report.lines).c_str());
        fitText(box, report);
        // The keys select and copy at once; the text starts unselected, from its top.
        ::SetFocus(field);
        ::SendMessageW(field, EM_SETSEL, 0, 0);
        return FALSE; // the focus is set
    }
    case WM_COMMAND:
        // Enter in the text presses OK, the default button; Escape in it closes the box,
        // which comes as Cancel, like the close box.
        if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) {
            ::EndDialog(box, LOWORD(wParam));
            return TRUE;
        }
        break;
    }
    return FALSE;
}

} // namespace

void showReportBox(HWND owner, std::wstring_view title, std::wstring_view text)
{
    const DialogFont font(owner);
    ReportBox report{title, linesOf(text), font};
    ::DialogBoxParamW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDD_REPORT_BOX), owner, reportBoxProc,
                      reinterpret_cast<LPARAM>(&report));
}

} // namespace brevorn
