// The program's dialogs, made from its resources, fitted to the message font at the density of
// the window they belong to, and sized for their texts.
#pragma once

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <string_view>

namespace brevorn {

// The message font at the owner window's density, made for one dialog and deleted with it.
class DialogFont
{
public:
    explicit DialogFont(HWND owner);
    ~DialogFont();
    DialogFont(const DialogFont&) = delete;
    DialogFont& operator=(const DialogFont&) = delete;

    HFONT handle() const { return m_font; }
    UINT dpi() const { return m_dpi; }
    // Pixels across one line of text in this font, and from one line to the next.
    int width(std::wstring_view text) const;
    int lineHeight() const;

private:
    UINT m_dpi;
    HFONT m_font;
};

// Gives the dialog and its items the font, and moves and sizes the items and the dialog from
// the dialog units of its resource's font into those of this one.
void useFont(HWND dialog, const DialogFont& font);

// An item's place in the dialog's client area, and moving it there.
RECT itemPlace(HWND dialog, int id);
void placeItem(HWND dialog, int id, const RECT& place);

// The client width the dialog's title bar needs to show the title whole beside the close box.
int titleWidth(HWND dialog, const DialogFont& font);

// The largest client area the dialog can have on the monitor of its owner: the work area
// less the dialog's frame.
SIZE largestClient(HWND dialog, const DialogFont& font);

// Gives the dialog this client size, centred over its owner and kept on the owner's monitor.
void resizeDialog(HWND dialog, SIZE client, const DialogFont& font);

} // namespace brevorn
