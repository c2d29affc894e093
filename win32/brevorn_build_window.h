// The editor's one window in Win32: native controls built from the core's control table,
// shown and read for the core through the view, every click handed to the core.
#pragma once

#include "brevorn_build.h"
#include "editor_view.h"
#include "layout_scale.h"
#include "win32_prompts.h"

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <array>
#include <string>

namespace brevorn {

class BrevornBuildWindow final : public EditorView
{
public:
    // Creates the window with every control and runs Form_Load; the window is not shown yet.
    explicit BrevornBuildWindow(HINSTANCE instance);
    ~BrevornBuildWindow() override;
    BrevornBuildWindow(const BrevornBuildWindow&) = delete;
    BrevornBuildWindow& operator=(const BrevornBuildWindow&) = delete;

    // Null once the window is gone.
    HWND handle() const { return m_window; }
    HWND control(Control control) const { return m_controls.at(static_cast<std::size_t>(control)); }
    // Physical pixels per (twips / 15), the same for every control and the window.
    double layoutScale() const { return m_scale; }
    UINT dpi() const { return m_dpi; }

    // The view the core works through.
    std::string text(Control control) const override;
    void setText(Control control, std::string_view text) override;
    void setItems(Control combo, std::span<const std::string_view> items) override;
    int selectedIndex() const override;
    void setListEntries(const std::vector<std::string>& entries) override;
    void appendAndSelect(std::string_view entry) override;
    void setLoadEnabled(bool enabled) override;

private:
    static LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam);

    // Every control at its place for the window's density, with its font, in tab order.
    void createControls();
    // One control at its place, with the window's font; a combo's field keeps the height
    // Windows gives it.
    HWND createControl(const ControlRow& row, const PixelRect& rect);
    // The hints and the combos' watch for clicks: what waits until the window shows.
    void finishAfterShown();
    // The hints shown when the pointer rests on a control, from the core's words.
    void createToolTips();
    // The font (given to every control there is) and the title bar's icon for a density.
    void useDensity(UINT dpi);
    // Font, scale, every control's place and the window's size for the monitor's density.
    void applyLayout(UINT dpi, const RECT* suggested);
    // The window sized for the layout, at the place suggested or where it is, within the
    // monitor's work area.
    void placeWindow(const RECT* suggested);
    // Where the window fits the monitor's work area nothing scrolls; where it does not, the
    // client area scrolls over the controls, which keep their size and places.
    void updateScrollBars();
    // Scrolls so that the layout's point (x, y) is the client area's top left, kept in range.
    void scrollTo(int x, int y);
    // The new position for a scroll bar's request (WM_HSCROLL, WM_VSCROLL).
    int scrollRequest(int bar, int request) const;
    void scrollIntoView(HWND target);
    void onCommand(int id, int notification, bool fromShortcut);
    void focusControl(HWND target);
    // Gives the focus to a control without scrolling it into view: the program's own moves.
    void restoreFocus(HWND target);
    // Highlights the item of an open combo list that equals the combo's text.
    void highlightShownItem(HWND combo);
    // The width the list needs to show an entry whole, for its sideways scrolling.
    int entryWidth(const std::wstring& entry) const;
    // The window's own control that holds the focus (a combo for the field inside it).
    HWND focusedControl() const;

    Win32Prompts m_prompts;
    BrevornBuild m_core;
    HWND m_window = nullptr;
    std::array<HWND, ControlCount> m_controls{};
    HFONT m_font = nullptr;
    double m_scale = 1.0;
    // The density the window is laid out for: that of the monitor it is on.
    UINT m_dpi = USER_DEFAULT_SCREEN_DPI;
    // The whole layout's size and the part of it scrolled out at the top left, in pixels.
    SIZE m_content{};
    POINT m_scroll{};
    bool m_updatingScrollBars = false;
    bool m_restoringFocus = false;
    HWND m_lastFocus = nullptr;
    // The text of the combo whose list was opened last, as it was before the list opened.
    std::wstring m_textWhenOpened;
};

} // namespace brevorn
