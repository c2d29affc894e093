// Reads the editor's window from outside its process for the real-window suite: under Wine
// the controls are no X windows of their own, so the driver learns every control's place,
// text and state from this program, which asks the window through the Win32 API.
//
// usage: window_spy.exe STATE_FILE
// Whenever STATE_FILE.request exists, writes the state of the window of class "BrevornBuild"
// to STATE_FILE (by way of a temporary file, so that a reader never sees half of it), then
// removes the request. Ends when the window it has seen is gone. The state, as lines of UTF-8
// text, places in screen pixels:
//   window LEFT TOP WIDTH HEIGHT        the client area
//   frame LEFT TOP WIDTH HEIGHT         the whole window
//   scrollbar horizontal|vertical LEFT TOP WIDTH HEIGHT SHOWN POSITION
//                                       POSITION: how far the layout is scrolled, in pixels
//   active HANDLE TITLE                 the editor's active window: a dialog, or the window
//                                       itself; HANDLE tells two windows of one title apart
//   focus NAME                          the control with the focus; "none", or "other" for a dialog's
//   control NAME LEFT TOP WIDTH HEIGHT ENABLED   for each of the 44 controls, in tab order
//   text NAME TEXT                      for each text box and combo
//   dropped NAME ITEM                   for a combo whose list is open: its highlighted item, -1 for none
//   entry INDEX TEXT                    for each entry of List1
//   selected INDEX                      -1 for none
//   end
#include "layout_scale.h"
#include "utf16.h"
#include "window_layout.h"

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

namespace {

using namespace brevorn;

constexpr wchar_t WindowClass[] = L"BrevornBuild";
// The window gives each control the id 100 + its row of the control table.
constexpr int FirstControlId = 100;
// How often the request file is looked for, in milliseconds.
constexpr DWORD PollInterval = 10;
// A window that does not answer a message within this time is taken as hung.
constexpr UINT AnswerTimeout = 5000;
// Farther than any layout scrolls, in pixels.
constexpr int MostScroll = 1 << 14;

// Thrown when the window does not answer or does not hold still: no state is written this
// time.
struct NoAnswer
{
};

// Each message to another process's window waits for that window's thread, so the state
// is read with as few of them as it takes. Only messages whose pointers Windows carries
// across processes are sent (WM_GETTEXT, LB_GETTEXT); with any other pointer, such as
// GetComboBoxInfo's, Wine would have the editor write into its own memory at the spy's
// address.
LRESULT ask(HWND window, UINT message, WPARAM wParam = 0, LPARAM lParam = 0)
{
    DWORD_PTR result = 0;
    if (!::SendMessageTimeoutW(window, message, wParam, lParam, SMTO_ABORTIFHUNG, AnswerTimeout, &result)) {
        std::fputs("window_spy: the editor's window did not answer\n", stderr);
        throw NoAnswer{};
    }
    return LRESULT(result);
}

// The text a control shows, asked for with WM_GETTEXT, which Windows carries across
// processes; GetWindowText would read only a control's creation text there.
std::string shownText(HWND control)
{
    std::wstring text(256, L'\0');
    for (;;) {
        const auto length = std::size_t(ask(control, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data())));
        if (length + 1 < text.size()) {
            text.resize(length);
            return toUtf8(text);
        }
        text.assign(std::size_t(ask(control, WM_GETTEXTLENGTH)) + 1, L'\0');
    }
}

// A top-level window's title as Windows keeps it, without asking the window.
std::string title(HWND window)
{
    std::wstring text(256, L'\0');
    for (;;) {
        const auto length = std::size_t(::InternalGetWindowText(window, text.data(), int(text.size())));
        if (length + 1 < text.size()) {
            text.resize(length);
            return toUtf8(text);
        }
        text.resize(text.size() * 2);
    }
}

using Controls = std::array<HWND, ControlCount>;

// The window's controls by their row; nullopt until every one of them exists.
std::optional<Controls> findControls(HWND window)
{
    struct Search
    {
        HWND window;
        Controls found;
    } search{window, {}};
    auto visit = [](HWND child, LPARAM data) {
        Search& search = *reinterpret_cast<Search*>(data);
        const int row = ::GetDlgCtrlID(child) - FirstControlId;
        // A combo's own field and list are children of the combo, not of the window.
        if (::GetAncestor(child, GA_PARENT) == search.window && row >= 0 && row < ControlCount)
            search.found.at(std::size_t(row)) = child;
        return TRUE;
    };
    ::EnumChildWindows(window, visit, reinterpret_cast<LPARAM>(&search));
    for (HWND control : search.found)
        if (!control)
            return std::nullopt;
    return search.found;
}

std::string place(const RECT& r)
{
    return std::to_string(r.left) + " " + std::to_string(r.top) + " " + std::to_string(r.right - r.left) + " " +
           std::to_string(r.bottom - r.top);
}

std::string focusName(HWND focused, const Controls& controls)
{
    if (!focused)
        return "none";
    for (const ControlRow& row : controlTable()) {
        HWND made = controls.at(std::size_t(row.control));
        if (focused == made || ::IsChild(made, focused))
            return std::string(row.name);
    }
    return "other";
}

// A control's edge: its place in the control table, and where it is in the client area.
struct Edge
{
    int twips;
    int pixels;
};

// How far the layout is scrolled along one axis, found from where the controls are, since
// Windows does not tell another process a window's scroll position. The window places
// every edge at scaledPixels(twips, scale) and moves all of them back by the scroll
// position; the answer is the one whole number of pixels for which some scale fits every
// edge. -1 when none fits or more than one does.
int scrollPosition(const std::vector<Edge>& edges)
{
    int found = -1;
    for (int scroll = 0; scroll <= MostScroll; ++scroll) {
        // The scales that put every edge where it is: lround(twips / 15 * scale) == pixels.
        double least = 0;
        double beyond = HUGE_VAL;
        for (const Edge& edge : edges) {
            const double unscrolled = edge.pixels + scroll;
            // An edge at 0 twips is at 0 pixels at every scale.
            if (edge.twips == 0) {
                if (unscrolled == 0)
                    continue;
                beyond = 0;
                break;
            }
            const double atOne = double(edge.twips) / TwipsPerPixel;
            least = std::max(least, (unscrolled - 0.5) / atOne);
            beyond = std::min(beyond, (unscrolled + 0.5) / atOne);
            if (least >= beyond)
                break;
        }
        if (least < beyond) {
            if (found >= 0)
                return -1;
            found = scroll;
        }
    }
    return found;
}

// Both scroll positions from the controls' places on the screen. Left and right edges are
// the table's (a label's are those of the part no other control covers, less a pixel each
// side), and so are top and bottom edges, but for a combo's bottom: its height also holds
// its drop-down list.
POINT scrollPositions(const std::array<RECT, ControlCount>& shown, const RECT& client)
{
    std::vector<Edge> horizontal;
    std::vector<Edge> vertical;
    for (const ControlRow& row : controlTable()) {
        const RECT& r = shown.at(std::size_t(row.control));
        const TwipsSpan span = uncoveredSpan(controlTable(), row);
        // The window keeps a label a pixel clear of the controls beside it.
        const int clearance = row.kind == ControlKind::Label ? 1 : 0;
        horizontal.push_back({span.start, int(r.left - client.left) - clearance});
        horizontal.push_back({span.end, int(r.right - client.left) + clearance});
        vertical.push_back({row.top, int(r.top - client.top)});
        if (row.kind != ControlKind::ComboBox)
            vertical.push_back({row.top + row.height, int(r.bottom - client.top)});
    }
    return {scrollPosition(horizontal), scrollPosition(vertical)};
}

// What the window server keeps for the window and can tell at any moment, without asking
// the window: places, scroll bars, the active window, the focus, which control is enabled.
std::string describeLayout(HWND window, const Controls& controls)
{
    std::string out;
    auto line = [&out](const std::string& text) { out += text + "\n"; };

    RECT client{};
    ::GetClientRect(window, &client);
    ::MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&client), 2);
    line("window " + place(client));
    RECT frame{};
    ::GetWindowRect(window, &frame);
    line("frame " + place(frame));

    std::array<RECT, ControlCount> shown{};
    for (const ControlRow& row : controlTable())
        ::GetWindowRect(controls.at(std::size_t(row.control)), &shown.at(std::size_t(row.control)));
    // A scroll bar is shown while the window has its style. It lies along the client area's
    // bottom or right edge, outside it, and reaches one pixel into the corner when the other
    // bar is shown too, as GetScrollBarInfo tells the window's own process.
    const LONG style = ::GetWindowLongW(window, GWL_STYLE);
    const bool horizontalShown = (style & WS_HSCROLL) != 0;
    const bool verticalShown = (style & WS_VSCROLL) != 0;
    const RECT horizontal{client.left, client.bottom, client.right + (verticalShown ? 1 : 0),
                          client.bottom + ::GetSystemMetrics(SM_CYHSCROLL)};
    const RECT vertical{client.right, client.top, client.right + ::GetSystemMetrics(SM_CXVSCROLL),
                        client.bottom + (horizontalShown ? 1 : 0)};
    const POINT scrolled = scrollPositions(shown, client);
    line("scrollbar horizontal " + place(horizontal) + " " + (horizontalShown ? "1" : "0") + " " +
         std::to_string(scrolled.x));
    line("scrollbar vertical " + place(vertical) + " " + (verticalShown ? "1" : "0") + " " +
         std::to_string(scrolled.y));

    // The active window and the focus of the window's thread, which its dialogs share.
    GUITHREADINFO thread{};
    thread.cbSize = sizeof thread;
    ::GetGUIThreadInfo(::GetWindowThreadProcessId(window, nullptr), &thread);
    line("active " + std::to_string(reinterpret_cast<std::uintptr_t>(thread.hwndActive)) + " " +
         (thread.hwndActive ? title(thread.hwndActive) : std::string()));
    line("focus " + focusName(thread.hwndFocus, controls));

    for (const ControlRow& row : controlTable()) {
        HWND made = controls.at(std::size_t(row.control));
        line("control " + std::string(row.name) + " " + place(shown.at(std::size_t(row.control))) + " " +
             (::IsWindowEnabled(made) ? "1" : "0"));
    }
    return out;
}

// What only the controls know, asked with messages: texts, open drop-down lists, the list's
// entries and selection.
std::string describeContents(const Controls& controls)
{
    std::string out;
    auto line = [&out](const std::string& text) { out += text + "\n"; };

    for (const ControlRow& row : controlTable()) {
        HWND made = controls.at(std::size_t(row.control));
        if (row.kind == ControlKind::TextBox || row.kind == ControlKind::ComboBox)
            line("text " + std::string(row.name) + " " + shownText(made));
        if (row.kind == ControlKind::ComboBox && ask(made, CB_GETDROPPEDSTATE))
            line("dropped " + std::string(row.name) + " " + std::to_string(ask(made, CB_GETCURSEL)));
    }
    HWND list = controls.at(std::size_t(Control::List1));
    const LRESULT count = ask(list, LB_GETCOUNT);
    for (LRESULT i = 0; i < count; ++i) {
        std::wstring entry(std::size_t(ask(list, LB_GETTEXTLEN, WPARAM(i))) + 1, L'\0');
        entry.resize(std::size_t(ask(list, LB_GETTEXT, WPARAM(i), reinterpret_cast<LPARAM>(entry.data()))));
        line("entry " + std::to_string(i) + " " + toUtf8(entry));
    }
    const LRESULT selected = ask(list, LB_GETCURSEL);
    line("selected " + std::to_string(selected == LB_ERR ? -1 : selected));
    line("end");
    return out;
}

// The whole state, as it was between two steps of the editor. The window server's part can
// be read while the editor is half-way through a step (the focus moved, the controls not yet
// scrolled to it), while the messages are answered only between steps; the state counts once
// the server's part reads the same before and after the messages.
std::string describeState(HWND window, const Controls& controls)
{
    for (int attempt = 0; attempt < 50; ++attempt) {
        const std::string layout = describeLayout(window, controls);
        const std::string contents = describeContents(controls);
        if (describeLayout(window, controls) == layout)
            return layout + contents;
    }
    std::fputs("window_spy: the editor's window kept changing\n", stderr);
    throw NoAnswer{};
}

bool writeFile(const std::wstring& file, const std::string& text)
{
    const std::wstring temporary = file + L".tmp";
    {
        std::ofstream out(temporary.c_str(), std::ios::binary | std::ios::trunc);
        out << text;
        if (!out.flush())
            return false;
    }
    return ::MoveFileExW(temporary.c_str(), file.c_str(), MOVEFILE_REPLACE_EXISTING) != FALSE;
}

} // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc != 2) {
        std::fputs("usage: window_spy.exe STATE_FILE\n", stderr);
        return 2;
    }
    const std::wstring file = argv[1];
    const std::wstring request = file + L".request";
    HWND window = nullptr;
    std::optional<Controls> controls;
    for (;; ::Sleep(PollInterval)) {
        if (window && !::IsWindow(window))
            return 0;
        if (::GetFileAttributesW(request.c_str()) == INVALID_FILE_ATTRIBUTES)
            continue;
        // Asked again on the next round while the window or one of its controls is not
        // there yet, or when the window did not answer.
        if (!window)
            window = ::FindWindowW(WindowClass, nullptr);
        if (window && !controls)
            controls = findControls(window);
        if (!controls)
            continue;
        try {
            if (writeFile(file, describeState(window, *controls)))
                ::DeleteFileW(request.c_str());
        } catch (const NoAnswer&) {
            std::fputs("window_spy: no state this time\n", stderr);
        }
    }
}
