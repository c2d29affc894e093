// Resource dialogs in the message font: every place is scaled by the ratio of the two fonts'
// dialog base units, the measure by which the dialog manager turns dialog units into pixels.
#include "dialog_layout.h"

#include "dpi.h"

#include <algorithm>
#include <string>

namespace brevorn {

namespace {

// A font chosen into the screen's device context for as long as it is measured with.
class ScreenText
{
public:
    explicit ScreenText(HFONT font)
        : m_dc(::GetDC(nullptr))
        , m_previous(::SelectObject(m_dc, font))
    {
    }
    ~ScreenText()
    {
        ::SelectObject(m_dc, m_previous);
        ::ReleaseDC(nullptr, m_dc);
    }
    ScreenText(const ScreenText&) = delete;
    ScreenText& operator=(const ScreenText&) = delete;

    int width(std::wstring_view text) const
    {
        SIZE size{};
        ::GetTextExtentPoint32W(m_dc, text.data(), int(text.size()), &size);
        return size.cx;
    }
    int height() const
    {
        TEXTMETRICW metrics{};
        ::GetTextMetricsW(m_dc, &metrics);
        return metrics.tmHeight;
    }

private:
    HDC m_dc;
    HGDIOBJ m_previous;
};

// Four dialog units across and eight down: a font's average letter and its height.
SIZE baseUnits(HFONT font)
{
    const ScreenText text(font);
    const int alphabet = text.width(L"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
    return SIZE{(alphabet / 26 + 1) / 2, text.height()};
}

RECT scaled(const RECT& place, SIZE from, SIZE to)
{
    return RECT{::MulDiv(place.left, to.cx, from.cx), ::MulDiv(place.top, to.cy, from.cy),
                ::MulDiv(place.right, to.cx, from.cx), ::MulDiv(place.bottom, to.cy, from.cy)};
}

DWORD styleOf(HWND window)
{
    return DWORD(::GetWindowLongPtrW(window, GWL_STYLE));
}

DWORD exStyleOf(HWND window)
{
    return DWORD(::GetWindowLongPtrW(window, GWL_EXSTYLE));
}

// The outer size of the dialog's frame and title bar.
SIZE frameSize(HWND dialog, UINT dpi)
{
    return windowSizeForClient(SIZE{0, 0}, styleOf(dialog), exStyleOf(dialog), dpi);
}

// The work area (the screen without the task bar) of the monitor the owner is on.
RECT ownersWorkArea(HWND dialog)
{
    HWND owner = ::GetWindow(dialog, GW_OWNER);
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    ::GetMonitorInfoW(::MonitorFromWindow(owner ? owner : dialog, MONITOR_DEFAULTTONEAREST), &monitor);
    return monitor.rcWork;
}

} // namespace

DialogFont::DialogFont(HWND owner)
    : m_dpi(windowDpi(owner))
{
    const LOGFONTW description = messageFont(m_dpi);
    m_font = ::CreateFontIndirectW(&description);
}

DialogFont::~DialogFont()
{
    ::DeleteObject(m_font);
}

int DialogFont::width(std::wstring_view text) const
{
    return ScreenText(m_font).width(text);
}

int DialogFont::lineHeight() const
{
    return ScreenText(m_font).height();
}

void useFont(HWND dialog, const DialogFont& font)
{
    RECT resourceUnits{0, 0, 4, 8};
    ::MapDialogRect(dialog, &resourceUnits);
    const SIZE from{std::max(1L, resourceUnits.right), std::max(1L, resourceUnits.bottom)};
    const SIZE to = baseUnits(font.handle());
    for (HWND item = ::GetWindow(dialog, GW_CHILD); item; item = ::GetWindow(item, GW_HWNDNEXT)) {
        ::SendMessageW(item, WM_SETFONT, reinterpret_cast<WPARAM>(font.handle()), FALSE);
        placeItem(dialog, ::GetDlgCtrlID(item), scaled(itemPlace(dialog, ::GetDlgCtrlID(item)), from, to));
    }
    RECT client{};
    ::GetClientRect(dialog, &client);
    client = scaled(client, from, to);
    resizeDialog(dialog, SIZE{client.right, client.bottom}, font);
}

RECT itemPlace(HWND dialog, int id)
{
    RECT place{};
    ::GetWindowRect(::GetDlgItem(dialog, id), &place);
    ::MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&place), 2);
    return place;
}

void placeItem(HWND dialog, int id, const RECT& place)
{
    ::SetWindowPos(::GetDlgItem(dialog, id), nullptr, place.left, place.top, place.right - place.left,
                   place.bottom - place.top, SWP_NOZORDER | SWP_NOACTIVATE);
}

int titleWidth(HWND dialog, const DialogFont& font)
{
    std::wstring title(std::size_t(::GetWindowTextLengthW(dialog)) + 1, L'\0');
    title.resize(std::size_t(::GetWindowTextW(dialog, title.data(), int(title.size()))));
    const LOGFONTW description = captionFont(font.dpi());
    HFONT caption = ::CreateFontIndirectW(&description);
    const int text = ScreenText(caption).width(title);
    ::DeleteObject(caption);
    // Beside the title: the close box and room for an icon, and the frame on both sides
    // (which the client area does not hold).
    return text + systemMetric(SM_CXSIZE, font.dpi()) + systemMetric(SM_CXSMICON, font.dpi()) +
           frameSize(dialog, font.dpi()).cx;
}

SIZE largestClient(HWND dialog, const DialogFont& font)
{
    const RECT work = ownersWorkArea(dialog);
    const SIZE frame = frameSize(dialog, font.dpi());
    return SIZE{work.right - work.left - frame.cx, work.bottom - work.top - frame.cy};
}

void resizeDialog(HWND dialog, SIZE client, const DialogFont& font)
{
    const SIZE outer = windowSizeForClient(client, styleOf(dialog), exStyleOf(dialog), font.dpi());
    // Centred on the work area as DS_CENTER places it, its top left always on the screen.
    const RECT work = ownersWorkArea(dialog);
    const int x = std::max(work.left, work.left + (work.right - work.left - outer.cx) / 2);
    const int y = std::max(work.top, work.top + (work.bottom - work.top - outer.cy) / 2);
    ::SetWindowPos(dialog, nullptr, x, y, outer.cx, outer.cy, SWP_NOZORDER | SWP_NOACTIVATE);
}

} // namespace brevorn
