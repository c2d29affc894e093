// Writing a dialog template word by word, in the layout Windows reads: the dialog's header,
// then each item on a four-byte boundary.
#include "input_box_template.h"

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <algorithm>

namespace brevorn {

namespace {

// Dialog units: the margin around the items, the buttons' width, and the gap between the
// prompt and the buttons.
constexpr short Margin = 7;
constexpr short ButtonWidth = 50;
constexpr short ButtonGap = 6;

// Ordinals of the predefined window classes in a dialog item.
constexpr std::uint16_t ButtonClass = 0x0080;
constexpr std::uint16_t EditClass = 0x0081;
constexpr std::uint16_t StaticClass = 0x0082;

class TemplateWriter
{
public:
    void word(std::uint16_t value) { m_words.push_back(value); }
    void dword(std::uint32_t value)
    {
        word(std::uint16_t(value & 0xFFFF));
        word(std::uint16_t(value >> 16));
    }
    void text(std::wstring_view value)
    {
        for (wchar_t c : value)
            word(std::uint16_t(c));
        word(0);
    }
    void alignToDword()
    {
        if (m_words.size() % 2)
            word(0);
    }

    // One item: its box in dialog units, its id, its class by ordinal and its caption.
    void item(std::uint32_t style, short x, short y, short cx, short cy, std::uint16_t id, std::uint16_t windowClass,
              std::wstring_view caption)
    {
        alignToDword();
        dword(style | WS_CHILD | WS_VISIBLE);
        dword(0); // extended style
        for (short value : {x, y, cx, cy})
            word(std::uint16_t(value));
        word(id);
        word(0xFFFF);
        word(windowClass);
        text(caption);
        word(0); // no creation data
    }

    std::vector<std::uint16_t> take() { return std::move(m_words); }

private:
    std::vector<std::uint16_t> m_words;
};

} // namespace

short inputBoxWidth(int titleWidth, int promptWidth)
{
    const int promptNeeds = Margin + promptWidth + ButtonGap + ButtonWidth + Margin;
    return short(std::clamp(std::max(titleWidth, promptNeeds), int(InputBoxNarrowest), int(InputBoxWidest)));
}

std::vector<std::uint16_t> inputBoxTemplate(std::wstring_view title, std::wstring_view prompt,
                                            std::wstring_view fontFace, std::uint16_t fontPoints, short width)
{
    const short buttons = short(width - Margin - ButtonWidth);
    TemplateWriter out;
    // A modal box with a title bar and a close box, centred where Windows centres dialogs.
    out.dword(DS_SETFONT | DS_MODALFRAME | DS_CENTER | WS_POPUP | WS_CAPTION | WS_SYSMENU);
    out.dword(0);
    out.word(4); // items
    for (short value : {short(0), short(0), width, short(62)})
        out.word(std::uint16_t(value));
    out.word(0); // no menu
    out.word(0); // the dialog class
    out.text(title);
    out.word(fontPoints);
    out.text(fontFace);

    // The prompt left and the buttons right, the field across the bottom, as input boxes
    // have long looked on Windows. The field has no length limit (set when it is made).
    out.item(SS_LEFT | SS_NOPREFIX, Margin, 7, short(buttons - ButtonGap - Margin), 28, std::uint16_t(-1), StaticClass,
             prompt);
    out.item(ES_LEFT | ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP, Margin, 42, short(width - 2 * Margin), 13,
             InputBoxFieldId, EditClass, L"");
    out.item(BS_DEFPUSHBUTTON | WS_TABSTOP, buttons, 7, ButtonWidth, 14, IDOK, ButtonClass, L"OK");
    out.item(BS_PUSHBUTTON | WS_TABSTOP, buttons, 24, ButtonWidth, 14, IDCANCEL, ButtonClass, L"Cancel");
    return out.take();
}

} // namespace brevorn
