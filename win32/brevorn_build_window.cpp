// The Win32 window: controls made from the table in tab order, placed at one scale for the
// monitor's density, wired to the core through one window procedure.
#include "brevorn_build_window.h"

#include "dpi.h"
#include "layout_scale.h"
#include "messages.h"
#include "resource_ids.h"
#include "utf16.h"
#include "window_layout.h"

#include <commctrl.h>

#include <algorithm>
#include <utility>
#include <vector>

namespace brevorn {

namespace {

constexpr wchar_t WindowClass[] = L"BrevornBuild";
// The scroll bars are shown only while the layout does not fit the client area.
constexpr DWORD WindowStyle = WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN | WS_HSCROLL | WS_VSCROLL;
// Tab and Shift+Tab are walked by IsDialogMessage over the window's controls.
constexpr DWORD WindowExStyle = WS_EX_CONTROLPARENT;
// Control ids stay clear of IDOK and IDCANCEL, which Enter and Escape send to the window.
constexpr int FirstControlId = 100;
// Posted to the window itself: work that can wait until the window shows.
constexpr UINT AfterShownMessage = WM_APP;
// Posted by a combo that opens its list, to highlight the item equal to its text once the
// list has made its own choice.
constexpr UINT HighlightShownItem = WM_APP + 1;

// A combo opened by a click chooses its list's item once more when the button comes up;
// the window's choice follows that one.
LRESULT CALLBACK comboAfterClick(HWND combo, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR owner)
{
    const LRESULT result = ::DefSubclassProc(combo, message, wParam, lParam);
    if (message == WM_LBUTTONUP && ::SendMessageW(combo, CB_GETDROPPEDSTATE, 0, 0))
        ::SendMessageW(reinterpret_cast<HWND>(owner), HighlightShownItem, reinterpret_cast<WPARAM>(combo), 0);
    return result;
}

// One click on a scroll bar's arrow, and one line of the mouse wheel.
constexpr int ScrollLineTwips = 240;

// The work area (the screen without the task bar) of the monitor a rectangle is on.
RECT workAreaAt(const RECT& place)
{
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    ::GetMonitorInfoW(::MonitorFromRect(&place, MONITOR_DEFAULTTONEAREST), &monitor);
    return monitor.rcWork;
}

constexpr int controlId(Control control)
{
    return FirstControlId + static_cast<int>(control);
}

// The resource's shortcuts press the buttons of the core's table.
static_assert(buttonShortcuts[0].button == Control::Command2 && buttonShortcuts[0].letter == 'O' &&
              controlId(Control::Command2) == IDC_LOAD_BUTTON);
static_assert(buttonShortcuts[1].button == Control::Command3 && buttonShortcuts[1].letter == 'S' &&
              controlId(Control::Command3) == IDC_SAVE_BUTTON);

std::wstring windowText(HWND window)
{
    std::wstring text(std::size_t(::GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(std::size_t(::GetWindowTextW(window, text.data(), int(text.size()))));
    return text;
}

struct ControlClass
{
    const wchar_t* name;
    DWORD style;
    DWORD exStyle;
};

ControlClass controlClass(ControlKind kind)
{
    switch (kind) {
    case ControlKind::Label:
        return {L"STATIC", SS_LEFT | SS_NOPREFIX, 0};
    case ControlKind::TextBox:
        return {L"EDIT", WS_TABSTOP | ES_LEFT | ES_AUTOHSCROLL, WS_EX_CLIENTEDGE};
    case ControlKind::ComboBox:
        // Editable, unsorted, and the typed text stays as typed: no autocompletion.
        return {L"COMBOBOX", WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWN | CBS_AUTOHSCROLL, 0};
    case ControlKind::ListBox:
        // Unsorted; LBS_NOTIFY reports the user's changes of the selection; the height is
        // the table's, not a whole number of entries; an entry wider than the list scrolls it
        // sideways.
        return {L"LISTBOX", WS_TABSTOP | WS_VSCROLL | WS_HSCROLL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | LBS_HASSTRINGS,
                WS_EX_CLIENTEDGE};
    case ControlKind::PushButton:
        return {L"BUTTON", WS_TABSTOP | BS_PUSHBUTTON, 0};
    }
    return {L"STATIC", 0, 0};
}

// Labels that name a control are made right before it; the others in their table place.
bool namesAControl(Control label)
{
    return std::ranges::any_of(controlTable(),
                               [label](const ControlRow& row) { return labelOf(row.control) == label; });
}

// A caption keeps a pixel clear of the controls beside it: one that meets a box reads as
// part of it.
constexpr int LabelClearance = 1;

// The margins a combo's field keeps inside it, which follow the font the combo was given.
int comboFieldMargins(HWND combo)
{
    COMBOBOXINFO parts{};
    parts.cbSize = sizeof parts;
    if (!::GetComboBoxInfo(combo, &parts) || !parts.hwndItem)
        return 0;
    const LRESULT both = ::SendMessageW(parts.hwndItem, EM_GETMARGINS, 0, 0);
    return LOWORD(both) + HIWORD(both);
}

// The room a text needs beyond its own extent: a button's frame and margins, a combo's
// frame, its field's margins and its drop-down button, the list's frame, its scroll bar and
// the gap before an entry, a label's clearance on both sides.
PixelSize textPadding(ControlKind kind, UINT dpi, int comboMargins)
{
    const int edge = systemMetric(SM_CXEDGE, dpi);
    const int bar = systemMetric(SM_CXVSCROLL, dpi);
    switch (kind) {
    case ControlKind::PushButton:
        return {::MulDiv(12, int(dpi), USER_DEFAULT_SCREEN_DPI), ::MulDiv(4, int(dpi), USER_DEFAULT_SCREEN_DPI)};
    case ControlKind::ComboBox:
        // The caret after the last character takes a pixel, and another keeps it off the button.
        return {2 * edge + bar + comboMargins + 2 * ::MulDiv(1, int(dpi), USER_DEFAULT_SCREEN_DPI) + 2, 0};
    case ControlKind::ListBox:
        return {2 * edge + bar + ::MulDiv(4, int(dpi), USER_DEFAULT_SCREEN_DPI), 0};
    case ControlKind::Label:
        return {2 * LabelClearance, 0};
    case ControlKind::TextBox:
        break;
    }
    return {0, 0};
}

// Where every control goes at one density, and the size of the whole layout.
struct Placement
{
    double scale = 1.0;
    std::array<PixelRect, ControlCount> rects{};
    SIZE content{};
};

// The window's one layout rule, for the first placing and for every later one: the scale at
// which the font fits every caption and every value (never smaller than the table at the
// density), and each control's rectangle at that scale, unscrolled.
Placement placeControls(HWND window, HFONT font, UINT dpi, int comboMargins)
{
    HDC dc = ::GetDC(window);
    HGDIOBJ previous = ::SelectObject(dc, font);
    auto measure = [&](const ControlRow& row, std::string_view value) {
        const std::wstring text16 = toUtf16(value);
        SIZE text{};
        ::GetTextExtentPoint32W(dc, text16.c_str(), int(text16.size()), &text);
        const PixelSize padding = textPadding(row.kind, dpi, comboMargins);
        return PixelSize{text.cx + padding.width, text.cy + padding.height};
    };
    Placement placement;
    placement.scale = brevorn::layoutScale(controlTable(), measure, double(dpi) / USER_DEFAULT_SCREEN_DPI);
    ::SelectObject(dc, previous);
    ::ReleaseDC(window, dc);

    for (const ControlRow& row : controlTable()) {
        PixelRect rect = scaledRect(row, placement.scale);
        if (row.kind == ControlKind::Label) {
            // Only the part no other control covers, a pixel clear of its neighbours, so that
            // nothing is drawn over a caption and no caption meets a box.
            const TwipsSpan span = uncoveredSpan(controlTable(), row);
            rect.left = scaledPixels(span.start, placement.scale) + LabelClearance;
            rect.width = scaledPixels(span.end, placement.scale) - LabelClearance - rect.left;
        }
        placement.rects.at(static_cast<std::size_t>(row.control)) = rect;
    }
    placement.content = {scaledPixels(ClientWidthTwips, placement.scale),
                         scaledPixels(ClientHeightTwips, placement.scale)};
    return placement;
}

// The combo whose field's margins the layout counts with; every combo has the same font.
const ControlRow& measuredCombo()
{
    return *std::ranges::find(controlTable(), ControlKind::ComboBox, &ControlRow::kind);
}

// Windows sizes a combo's field by its font; the field is made as high as the layout says.
void fitComboField(HWND combo, int height)
{
    for (int attempt = 0; attempt < 2; ++attempt) {
        RECT shown{};
        ::GetWindowRect(combo, &shown);
        const LRESULT field = ::SendMessageW(combo, CB_GETITEMHEIGHT, WPARAM(-1), 0);
        const LRESULT wanted = field + height - (shown.bottom - shown.top);
        if (field == CB_ERR || wanted == field || wanted < 1)
            break;
        ::SendMessageW(combo, CB_SETITEMHEIGHT, WPARAM(-1), wanted);
    }
}

void registerWindowClass(HINSTANCE instance, WNDPROC procedure)
{
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = instance;
    windowClass.hIcon = ::LoadIconW(instance, MAKEINTRESOURCEW(1));
    // The small icon is set per window, at the window's own density (useDensity).
    windowClass.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    // The face colour of dialogs, which labels are drawn on.
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = WindowClass;
    ::RegisterClassExW(&windowClass);
}

} // namespace

BrevornBuildWindow::BrevornBuildWindow(HINSTANCE instance)
    : m_core(*this, m_prompts)
{
    registerWindowClass(instance, &BrevornBuildWindow::windowProc);
    // First placed wherever Windows puts a new window, and hidden until it is shown; sized
    // once its controls are in place.
    m_window = ::CreateWindowExW(WindowExStyle, WindowClass, toUtf16(WindowCaption).c_str(), WindowStyle, CW_USEDEFAULT,
                                 CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr, instance, this);
    m_prompts.setOwner(m_window);
    useDensity(windowDpi(m_window));
    createControls();
    placeWindow(nullptr);
    // What nobody sees before the window shows waits for the message loop, which takes this
    // message before any key or click.
    ::PostMessageW(m_window, AfterShownMessage, 0, 0);
    // The combos' items are in place before the window shows, and before the watch for clicks
    // that every message to a combo would pass through.
    m_core.handle(WindowEvent::Form_Load);
    // The control with the lowest tab index; it takes the focus when the window is shown.
    m_lastFocus = control(Control::List1);
}

BrevornBuildWindow::~BrevornBuildWindow()
{
    if (m_window)
        ::DestroyWindow(m_window);
    if (m_font)
        ::DeleteObject(m_font);
}

HWND BrevornBuildWindow::createControl(const ControlRow& row, const PixelRect& rect)
{
    const ControlClass kind = controlClass(row.kind);
    // A combo is made as high as its field: its list takes its height from its items when it
    // opens, whatever height the combo was given.
    HWND made =
        ::CreateWindowExW(kind.exStyle, kind.name, toUtf16(row.caption).c_str(),
                          WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | kind.style, rect.left, rect.top, rect.width,
                          rect.height, m_window, reinterpret_cast<HMENU>(static_cast<INT_PTR>(controlId(row.control))),
                          reinterpret_cast<HINSTANCE>(::GetWindowLongPtrW(m_window, GWLP_HINSTANCE)), nullptr);
    m_controls.at(static_cast<std::size_t>(row.control)) = made;
    ::SendMessageW(made, WM_SETFONT, reinterpret_cast<WPARAM>(m_font), FALSE);
    // Native text boxes stop at 32,767 characters unless told otherwise.
    if (row.kind == ControlKind::TextBox)
        ::SendMessageW(made, EM_SETLIMITTEXT, 0, 0);
    if (row.kind == ControlKind::ComboBox) {
        ::SendMessageW(made, CB_LIMITTEXT, 0, 0);
        // A combo takes no text from its window name when it is made.
        if (!row.caption.empty())
            ::SetWindowTextW(made, toUtf16(row.caption).c_str());
    }
    return made;
}

void BrevornBuildWindow::createControls()
{
    // The layout needs the margins a combo's field keeps with the font, so one combo is made
    // first; it takes its place, and its turn in the tab order, when that turn comes. Every
    // other control is made where it stays: moving a control costs about as much as making it.
    const ControlRow& measured = measuredCombo();
    HWND early = createControl(measured, PixelRect{});
    const Placement placement = placeControls(m_window, m_font, m_dpi, comboFieldMargins(early));
    m_scale = placement.scale;
    m_content = placement.content;

    HWND previous = HWND_TOP;
    auto place = [&](const ControlRow& row) {
        const PixelRect& rect = placement.rects.at(static_cast<std::size_t>(row.control));
        HWND made = &row == &measured ? early : createControl(row, rect);
        if (made == early)
            ::SetWindowPos(early, previous, rect.left, rect.top, rect.width, rect.height,
                           SWP_NOACTIVATE | SWP_NOREDRAW);
        if (row.kind == ControlKind::ComboBox)
            fitComboField(made, rect.height);
        previous = made;
    };
    // Children are made in tab order, which is also the order Tab walks them. A screen
    // reader names a control after the label just before it, so each label comes right
    // before the control it names.
    for (const ControlRow& row : controlTable()) {
        if (row.kind == ControlKind::Label) {
            if (!namesAControl(row.control))
                place(row);
            continue;
        }
        if (const std::optional<Control> label = labelOf(row.control))
            place(controlRow(*label));
        place(row);
    }
}

void BrevornBuildWindow::finishAfterShown()
{
    // A hint is seen once the pointer rests on a control, and the watch for clicks on a combo
    // serves the user's clicks: neither before the message loop runs.
    for (const ControlRow& row : controlTable())
        if (row.kind == ControlKind::ComboBox)
            ::SetWindowSubclass(control(row.control), comboAfterClick, 0, reinterpret_cast<DWORD_PTR>(m_window));
    createToolTips();
}

void BrevornBuildWindow::createToolTips()
{
    HWND tips = ::CreateWindowExW(0, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT,
                                  CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, m_window, nullptr,
                                  reinterpret_cast<HINSTANCE>(::GetWindowLongPtrW(m_window, GWLP_HINSTANCE)), nullptr);
    auto addTip = [&](HWND over, const std::wstring& text) {
        TTTOOLINFOW tool{};
        tool.cbSize = sizeof tool;
        tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
        tool.hwnd = m_window;
        tool.uId = reinterpret_cast<UINT_PTR>(over);
        tool.lpszText = const_cast<wchar_t*>(text.c_str()); // copied by the tool tip
        ::SendMessageW(tips, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    };
    for (const ControlRow& row : controlTable()) {
        const std::wstring hint = toUtf16(toolTip(row.control));
        if (hint.empty())
            continue;
        HWND made = control(row.control);
        addTip(made, hint);
        // The pointer over a combo rests on the field inside it.
        COMBOBOXINFO parts{};
        parts.cbSize = sizeof parts;
        if (row.kind == ControlKind::ComboBox && ::GetComboBoxInfo(made, &parts) && parts.hwndItem)
            addTip(parts.hwndItem, hint);
    }
}

void BrevornBuildWindow::useDensity(UINT dpi)
{
    m_dpi = dpi;
    const LOGFONTW fontDescription = messageFont(dpi);
    HFONT font = ::CreateFontIndirectW(&fontDescription);
    for (HWND made : m_controls)
        if (made)
            ::SendMessageW(made, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    if (m_font)
        ::DeleteObject(m_font);
    m_font = font;

    // The title bar's icon drawn for this density, not scaled from the system's.
    HINSTANCE instance = reinterpret_cast<HINSTANCE>(::GetWindowLongPtrW(m_window, GWLP_HINSTANCE));
    HICON smallIcon =
        static_cast<HICON>(::LoadImageW(instance, MAKEINTRESOURCEW(1), IMAGE_ICON, systemMetric(SM_CXSMICON, dpi),
                                        systemMetric(SM_CYSMICON, dpi), LR_DEFAULTCOLOR));
    if (HICON old = reinterpret_cast<HICON>(
            ::SendMessageW(m_window, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon))))
        ::DestroyIcon(old);
}

void BrevornBuildWindow::applyLayout(UINT dpi, const RECT* suggested)
{
    useDensity(dpi);
    const Placement placement =
        placeControls(m_window, m_font, dpi, comboFieldMargins(control(measuredCombo().control)));
    m_scale = placement.scale;
    m_content = placement.content;
    // Placed unscrolled; the scroll bars start again at the top left.
    m_scroll = {0, 0};
    for (const ControlRow& row : controlTable()) {
        HWND made = control(row.control);
        const PixelRect& rect = placement.rects.at(static_cast<std::size_t>(row.control));
        ::MoveWindow(made, rect.left, rect.top, rect.width, rect.height, FALSE);
        if (row.kind == ControlKind::ComboBox)
            fitComboField(made, rect.height);
    }
    placeWindow(suggested);
}

void BrevornBuildWindow::placeWindow(const RECT* suggested)
{
    const SIZE outer = windowSizeForClient(m_content, WindowStyle, WindowExStyle, m_dpi);
    RECT place{};
    ::GetWindowRect(m_window, &place);
    if (suggested)
        place = *suggested;
    place.right = place.left + outer.cx;
    place.bottom = place.top + outer.cy;
    // Larger than the room the monitor has: the window takes all of that room, and scrolls.
    const RECT room = workAreaAt(place);
    const bool fits = outer.cx <= room.right - room.left && outer.cy <= room.bottom - room.top;
    if (!fits)
        place = room;
    const UINT keepPlace = suggested || !fits ? 0 : SWP_NOMOVE;
    ::SetWindowPos(m_window, nullptr, place.left, place.top, place.right - place.left, place.bottom - place.top,
                   SWP_NOZORDER | SWP_NOACTIVATE | keepPlace);
    updateScrollBars();
    ::InvalidateRect(m_window, nullptr, TRUE);
}

void BrevornBuildWindow::updateScrollBars()
{
    // Showing or hiding a bar resizes the client area, which comes back here.
    if (m_updatingScrollBars)
        return;
    m_updatingScrollBars = true;
    // The room without the bars; a bar along one side takes room from the other.
    RECT client{};
    ::GetClientRect(m_window, &client);
    const LONG style = ::GetWindowLongW(m_window, GWL_STYLE);
    const int barWidth = systemMetric(SM_CXVSCROLL, m_dpi);
    const int barHeight = systemMetric(SM_CYHSCROLL, m_dpi);
    int width = client.right + ((style & WS_VSCROLL) ? barWidth : 0);
    int height = client.bottom + ((style & WS_HSCROLL) ? barHeight : 0);
    const bool horizontal = m_content.cx > width || (m_content.cy > height && m_content.cx > width - barWidth);
    const bool vertical = m_content.cy > height || (horizontal && m_content.cy > height - barHeight);
    if (horizontal)
        height -= barHeight;
    if (vertical)
        width -= barWidth;
    // A page as large as the range hides its bar.
    auto setBar = [this](int bar, LONG range, int page, LONG position) {
        SCROLLINFO info{
            sizeof(SCROLLINFO), SIF_RANGE | SIF_PAGE | SIF_POS, 0, int(range) - 1, UINT(page), int(position), 0};
        ::SetScrollInfo(m_window, bar, &info, TRUE);
    };
    setBar(SB_HORZ, m_content.cx, horizontal ? width : int(m_content.cx), m_scroll.x);
    setBar(SB_VERT, m_content.cy, vertical ? height : int(m_content.cy), m_scroll.y);
    m_updatingScrollBars = false;
    // A larger window leaves less to scroll: what was scrolled out comes back.
    scrollTo(m_scroll.x, m_scroll.y);
}

void BrevornBuildWindow::scrollTo(int x, int y)
{
    RECT client{};
    ::GetClientRect(m_window, &client);
    x = std::clamp(x, 0, std::max(0, int(m_content.cx) - int(client.right)));
    y = std::clamp(y, 0, std::max(0, int(m_content.cy) - int(client.bottom)));
    if (x == m_scroll.x && y == m_scroll.y)
        return;
    // The controls move with the contents; they keep their sizes.
    ::ScrollWindowEx(m_window, m_scroll.x - x, m_scroll.y - y, nullptr, nullptr, nullptr, nullptr,
                     SW_SCROLLCHILDREN | SW_INVALIDATE | SW_ERASE);
    m_scroll = {x, y};
    ::SetScrollPos(m_window, SB_HORZ, x, TRUE);
    ::SetScrollPos(m_window, SB_VERT, y, TRUE);
}

int BrevornBuildWindow::scrollRequest(int bar, int request) const
{
    SCROLLINFO info{};
    info.cbSize = sizeof info;
    info.fMask = SIF_ALL;
    ::GetScrollInfo(m_window, bar, &info);
    const int line = scaledPixels(ScrollLineTwips, m_scale);
    switch (request) {
    case SB_LINEUP:
        return info.nPos - line;
    case SB_LINEDOWN:
        return info.nPos + line;
    case SB_PAGEUP:
        return info.nPos - int(info.nPage);
    case SB_PAGEDOWN:
        return info.nPos + int(info.nPage);
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION:
        return info.nTrackPos;
    case SB_TOP:
        return 0;
    case SB_BOTTOM:
        return info.nMax;
    }
    return info.nPos;
}

void BrevornBuildWindow::scrollIntoView(HWND target)
{
    RECT shown{};
    ::GetWindowRect(target, &shown);
    ::MapWindowPoints(nullptr, m_window, reinterpret_cast<POINT*>(&shown), 2);
    RECT client{};
    ::GetClientRect(m_window, &client);
    // The least scrolling that shows the whole control; its top left where it cannot.
    int dx = 0;
    int dy = 0;
    if (shown.right > client.right)
        dx = shown.right - client.right;
    if (shown.left - dx < 0)
        dx = shown.left;
    if (shown.bottom > client.bottom)
        dy = shown.bottom - client.bottom;
    if (shown.top - dy < 0)
        dy = shown.top;
    scrollTo(m_scroll.x + dx, m_scroll.y + dy);
}

LRESULT CALLBACK BrevornBuildWindow::windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCCREATE) {
        auto* self = static_cast<BrevornBuildWindow*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        ::SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
        self->m_window = window;
    }
    auto* self = reinterpret_cast<BrevornBuildWindow*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
    if (!self)
        return ::DefWindowProcW(window, message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        ::SetWindowLongPtrW(window, GWLP_USERDATA, 0);
        self->m_window = nullptr;
        self->m_controls.fill(nullptr);
        return ::DefWindowProcW(window, message, wParam, lParam);
    }
    return self->handleMessage(message, wParam, lParam);
}

LRESULT BrevornBuildWindow::handleMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_COMMAND:
        // A shortcut's command comes without a control.
        onCommand(LOWORD(wParam), HIWORD(wParam), lParam == 0);
        return 0;
    case WM_NEXTDLGCTL:
        // IsDialogMessage asks for the next control on Tab; a dialog does this itself, a
        // plain window has to.
        focusControl(lParam ? reinterpret_cast<HWND>(wParam)
                            : ::GetNextDlgTabItem(m_window, focusedControl(), wParam != 0));
        return 0;
    case WM_ACTIVATE:
        // The focus comes back to the control that had it when another window took over.
        if (LOWORD(wParam) == WA_INACTIVE) {
            if (HWND focused = focusedControl())
                m_lastFocus = focused;
        } else if (m_lastFocus && ::IsWindowEnabled(m_lastFocus)) {
            restoreFocus(m_lastFocus);
        }
        return 0;
    case WM_SETFOCUS:
        if (m_lastFocus)
            restoreFocus(m_lastFocus);
        return 0;
    case HighlightShownItem:
        highlightShownItem(reinterpret_cast<HWND>(wParam));
        return 0;
    case WM_CTLCOLORSTATIC: {
        // Labels on the window's face colour.
        HDC dc = reinterpret_cast<HDC>(wParam);
        ::SetBkColor(dc, ::GetSysColor(COLOR_BTNFACE));
        ::SetTextColor(dc, ::GetSysColor(COLOR_BTNTEXT));
        return reinterpret_cast<LRESULT>(::GetSysColorBrush(COLOR_BTNFACE));
    }
    case WM_SIZE:
        updateScrollBars();
        break;
    case WM_HSCROLL:
        scrollTo(scrollRequest(SB_HORZ, LOWORD(wParam)), m_scroll.y);
        return 0;
    case WM_VSCROLL:
        scrollTo(m_scroll.x, scrollRequest(SB_VERT, LOWORD(wParam)));
        return 0;
    case WM_MOUSEWHEEL:
    case WM_MOUSEHWHEEL: {
        // Three lines a notch, down and right for a turn towards the user or to the right.
        const int notches = GET_WHEEL_DELTA_WPARAM(wParam);
        const int pixels = notches * 3 * scaledPixels(ScrollLineTwips, m_scale) / WHEEL_DELTA;
        if (message == WM_MOUSEWHEEL)
            scrollTo(m_scroll.x, m_scroll.y - pixels);
        else
            scrollTo(m_scroll.x + pixels, m_scroll.y);
        return 0;
    }
    case WM_DPICHANGED:
        applyLayout(HIWORD(wParam), reinterpret_cast<const RECT*>(lParam));
        return 0;
    case WM_SETTINGCHANGE:
        if (wParam == SPI_SETNONCLIENTMETRICS)
            applyLayout(windowDpi(m_window), nullptr);
        break;
    case AfterShownMessage:
        finishAfterShown();
        return 0;
    case WM_DESTROY:
        // Closing the window ends the program at once, without a question.
        ::PostQuitMessage(0);
        return 0;
    }
    return ::DefWindowProcW(m_window, message, wParam, lParam);
}

void BrevornBuildWindow::onCommand(int id, int notification, bool fromShortcut)
{
    const int row = id - FirstControlId;
    if (row < 0 || row >= ControlCount)
        return; // Enter and Escape: no button is a default or cancel button
    const Control control = static_cast<Control>(row);
    // A control that takes the focus, by Tab or by a click on its visible part, is scrolled
    // into view whole; focus given back when the window is activated again stays where it is.
    const ControlKind kind = controlRow(control).kind;
    const bool tookFocus = (kind == ControlKind::TextBox && notification == EN_SETFOCUS) ||
                           (kind == ControlKind::ComboBox && notification == CBN_SETFOCUS) ||
                           (kind == ControlKind::ListBox && notification == LBN_SETFOCUS);
    if (tookFocus && !m_restoringFocus)
        scrollIntoView(this->control(control));
    // The list opens where Windows puts it; the item equal to the text is highlighted after.
    if (kind == ControlKind::ComboBox && notification == CBN_DROPDOWN) {
        m_textWhenOpened = windowText(this->control(control));
        ::PostMessageW(m_window, HighlightShownItem, reinterpret_cast<WPARAM>(this->control(control)), 0);
    }
    // The user changed the list's selection; the program's own changes send nothing.
    if (control == Control::List1 && notification == LBN_SELCHANGE && !fromShortcut)
        m_core.handle(WindowEvent::List1_Click);
    // A disabled button ignores its shortcut as it ignores clicks.
    const bool clicked = fromShortcut ? ::IsWindowEnabled(this->control(control)) != FALSE : notification == BN_CLICKED;
    if (!clicked)
        return;
    static constexpr std::pair<Control, WindowEvent> buttons[] = {
        {Control::Command1, WindowEvent::Command1_Click}, {Control::Command2, WindowEvent::Command2_Click},
        {Control::Command3, WindowEvent::Command3_Click}, {Control::Command4, WindowEvent::Command4_Click},
        {Control::Command5, WindowEvent::Command5_Click},
    };
    for (const auto& [button, event] : buttons)
        if (button == control)
            m_core.handle(event);
}

void BrevornBuildWindow::restoreFocus(HWND target)
{
    m_restoringFocus = true;
    ::SetFocus(target);
    m_restoringFocus = false;
}

void BrevornBuildWindow::highlightShownItem(HWND combo)
{
    COMBOBOXINFO parts{};
    parts.cbSize = sizeof parts;
    if (!::SendMessageW(combo, CB_GETDROPPEDSTATE, 0, 0) || !::GetComboBoxInfo(combo, &parts) || !parts.hwndList)
        return;
    // Windows opens the list at the first item that starts like the text, in any case, and
    // Wine puts that item's text into the field too; the field gets its text back, and the
    // item highlighted is the one equal to it, or none.
    const std::wstring shown = m_textWhenOpened;
    if (windowText(combo) != shown) {
        ::SetWindowTextW(combo, shown.c_str());
        ::SendMessageW(combo, CB_SETEDITSEL, 0, MAKELPARAM(0, -1));
    }
    LRESULT equal = LB_ERR;
    for (LRESULT found = ::SendMessageW(combo, CB_FINDSTRINGEXACT, WPARAM(-1), reinterpret_cast<LPARAM>(shown.c_str()));
         found != CB_ERR;) {
        const LRESULT length = ::SendMessageW(combo, CB_GETLBTEXTLEN, WPARAM(found), 0);
        std::wstring item(std::size_t(std::max<LRESULT>(length, 0)) + 1, L'\0');
        ::SendMessageW(combo, CB_GETLBTEXT, WPARAM(found), reinterpret_cast<LPARAM>(item.data()));
        item.resize(std::size_t(std::max<LRESULT>(length, 0)));
        if (item == shown) {
            equal = found;
            break;
        }
        // The search wraps to the start; stop when it comes back.
        const LRESULT next =
            ::SendMessageW(combo, CB_FINDSTRINGEXACT, WPARAM(found), reinterpret_cast<LPARAM>(shown.c_str()));
        if (next == CB_ERR || next <= found)
            break;
        found = next;
    }
    ::SendMessageW(parts.hwndList, LB_SETCURSEL, WPARAM(equal == LB_ERR ? -1 : equal), 0);
    if (equal != LB_ERR)
        ::SendMessageW(parts.hwndList, LB_SETCARETINDEX, WPARAM(equal), FALSE);
}

void BrevornBuildWindow::focusControl(HWND target)
{
    if (!target)
        return;
    ::SetFocus(target);
    scrollIntoView(target);
    // As in a dialog, a text reached from the keyboard is selected whole.
    wchar_t kind[16] = {};
    ::GetClassNameW(target, kind, 16);
    if (::lstrcmpiW(kind, L"EDIT") == 0)
        ::SendMessageW(target, EM_SETSEL, 0, -1);
    else if (::lstrcmpiW(kind, L"COMBOBOX") == 0)
        ::SendMessageW(target, CB_SETEDITSEL, 0, MAKELPARAM(0, -1));
}

HWND BrevornBuildWindow::focusedControl() const
{
    HWND focused = ::GetFocus();
    while (focused && ::GetParent(focused) != m_window)
        focused = ::GetParent(focused);
    return focused;
}

std::string BrevornBuildWindow::text(Control c) const
{
    return toUtf8(windowText(control(c)));
}

void BrevornBuildWindow::setText(Control c, std::string_view text)
{
    HWND made = control(c);
    ::SetWindowTextW(made, toUtf16(text).c_str());
    // A text longer than the field shows its beginning.
    if (controlRow(c).kind == ControlKind::ComboBox)
        ::SendMessageW(made, CB_SETEDITSEL, 0, MAKELPARAM(0, 0));
    else
        ::SendMessageW(made, EM_SETSEL, 0, 0);
}

void BrevornBuildWindow::setItems(Control combo, std::span<const std::string_view> items)
{
    HWND made = control(combo);
    // Emptying the list would empty the field too; the field keeps its own text. A list
    // that is empty already (as at start) need not be emptied.
    const bool filled = ::SendMessageW(made, CB_GETCOUNT, 0, 0) > 0;
    const std::wstring shown = filled ? windowText(made) : std::wstring();
    if (filled)
        ::SendMessageW(made, CB_RESETCONTENT, 0, 0);
    ::SendMessageW(made, CB_INITSTORAGE, items.size(), items.size() * 16 * sizeof(wchar_t));
    for (std::string_view item : items)
        ::SendMessageW(made, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(toUtf16(item).c_str()));
    if (filled)
        ::SetWindowTextW(made, shown.c_str());
}

int BrevornBuildWindow::selectedIndex() const
{
    const LRESULT selected = ::SendMessageW(control(Control::List1), LB_GETCURSEL, 0, 0);
    return selected == LB_ERR ? -1 : int(selected);
}

void BrevornBuildWindow::setListEntries(const std::vector<std::string>& entries)
{
    HWND list = control(Control::List1);
    // Filled in one go and drawn once; no selection, and none is reported.
    ::SendMessageW(list, WM_SETREDRAW, FALSE, 0);
    ::SendMessageW(list, LB_RESETCONTENT, 0, 0);
    ::SendMessageW(list, LB_INITSTORAGE, entries.size(), entries.size() * 32);
    int widest = 0;
    for (const std::string& entry : entries) {
        const std::wstring entry16 = toUtf16(entry);
        ::SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(entry16.c_str()));
        widest = std::max(widest, entryWidth(entry16));
    }
    ::SendMessageW(list, LB_SETHORIZONTALEXTENT, WPARAM(widest), 0);
    ::SendMessageW(list, WM_SETREDRAW, TRUE, 0);
    ::InvalidateRect(list, nullptr, TRUE);
}

void BrevornBuildWindow::appendAndSelect(std::string_view entry)
{
    HWND list = control(Control::List1);
    const std::wstring entry16 = toUtf16(entry);
    const LRESULT added = ::SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(entry16.c_str()));
    const int extent = int(::SendMessageW(list, LB_GETHORIZONTALEXTENT, 0, 0));
    ::SendMessageW(list, LB_SETHORIZONTALEXTENT, WPARAM(std::max(extent, entryWidth(entry16))), 0);
    // A selection the program makes sends no LBN_SELCHANGE.
    ::SendMessageW(list, LB_SETCURSEL, WPARAM(added), 0);
}

int BrevornBuildWindow::entryWidth(const std::wstring& entry) const
{
    HWND list = control(Control::List1);
    HDC dc = ::GetDC(list);
    HGDIOBJ previous = ::SelectObject(dc, m_font);
    SIZE text{};
    ::GetTextExtentPoint32W(dc, entry.c_str(), int(entry.size()), &text);
    ::SelectObject(dc, previous);
    ::ReleaseDC(list, dc);
    // The list draws an entry a little right of its edge; the same gap after it.
    return text.cx + 2 * ::MulDiv(2, int(m_dpi), USER_DEFAULT_SCREEN_DPI);
}

void BrevornBuildWindow::setLoadEnabled(bool enabled)
{
    HWND load = control(Control::Command2);
    // A disabled button cannot keep the focus: it moves on, as Tab would move it.
    // The program moves it, not the user: the window does not scroll for it.
    if (!enabled && focusedControl() == load)
        restoreFocus(::GetNextDlgTabItem(m_window, load, FALSE));
    if (!enabled && m_lastFocus == load)
        m_lastFocus = ::GetNextDlgTabItem(m_window, load, FALSE);
    ::EnableWindow(load, enabled);
}

} // namespace brevorn
