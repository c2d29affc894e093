// The window as laid out at 96, 120, 144 and 192 dots per inch, measured with the fonts the
// controls are drawn with: every caption and value readable, no caption meeting a box.
#include "brevorn_build_window.h"
#include "choice_lists.h"
#include "dpi.h"
#include "layout_scale.h"
#include "utf16.h"
#include "window_layout.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace brevorn {
namespace {

// A control's place within the window's client area.
RECT placeOf(HWND window, HWND made)
{
    RECT place{};
    ::GetWindowRect(made, &place);
    ::MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&place), 2);
    return place;
}

// How wide and high a text is drawn in the control's own font.
SIZE extentIn(HWND made, const std::wstring& text)
{
    HDC dc = ::GetDC(made);
    HGDIOBJ previous = ::SelectObject(dc, reinterpret_cast<HFONT>(::SendMessageW(made, WM_GETFONT, 0, 0)));
    SIZE extent{};
    ::GetTextExtentPoint32W(dc, text.c_str(), int(text.size()), &extent);
    ::SelectObject(dc, previous);
    ::ReleaseDC(made, dc);
    return extent;
}

std::wstring windowText(HWND made)
{
    std::wstring text(std::size_t(::GetWindowTextLengthW(made)) + 1, L'\0');
    text.resize(std::size_t(::GetWindowTextW(made, text.data(), int(text.size()))));
    return text;
}

std::string describe(const RECT& r)
{
    return std::to_string(r.left) + "," + std::to_string(r.top) + " to " + std::to_string(r.right) + "," +
           std::to_string(r.bottom);
}

class WindowAtDensity : public testing::TestWithParam<UINT>
{
protected:
    void SetUp() override
    {
        // As when Windows moves the window to a monitor of this density.
        RECT suggested{0, 0, 400, 300};
        ::SendMessageW(window.handle(), WM_DPICHANGED, MAKEWPARAM(GetParam(), GetParam()),
                       reinterpret_cast<LPARAM>(&suggested));
        ASSERT_EQ(window.dpi(), GetParam());
        ASSERT_TRUE(::IsWindow(window.handle()));
    }

    BrevornBuildWindow window{::GetModuleHandleW(nullptr)};
};

TEST_P(WindowAtDensity, EveryCaptionIsReadInFullAndClearOfEveryControl)
{
    for (const ControlRow& row : controlTable()) {
        HWND made = window.control(row.control);
        const SIZE caption = extentIn(made, windowText(made));
        RECT inside{};
        ::GetClientRect(made, &inside);
        if (row.kind == ControlKind::PushButton) { // a button's caption clear of its edges
            EXPECT_LT(caption.cx, inside.right) << row.name;
        }
        if (row.kind != ControlKind::Label)
            continue;
        const RECT place = placeOf(window.handle(), made);
        EXPECT_LE(caption.cx, place.right - place.left) << row.name << " cut at " << describe(place);
        EXPECT_LE(caption.cy, place.bottom - place.top) << row.name << " cut at " << describe(place);
        for (const ControlRow& other : controlTable()) {
            if (other.kind == ControlKind::Label)
                continue;
            const RECT box = placeOf(window.handle(), window.control(other.control));
            // A pixel's gap at least on one side: a caption that meets a box reads as part of it.
            const bool apart =
                place.right < box.left || box.right < place.left || place.bottom < box.top || box.bottom < place.top;
            EXPECT_TRUE(apart) << row.name << " at " << describe(place) << " meets " << other.name << " at "
                               << describe(box);
        }
    }
}

TEST_P(WindowAtDensity, EveryComboShowsItsLongestItemWhole)
{
    for (const ChoiceList& list : choiceLists()) {
        HWND combo = window.control(list.combo);
        COMBOBOXINFO parts{};
        parts.cbSize = sizeof parts;
        ASSERT_TRUE(::GetComboBoxInfo(combo, &parts));
        RECT field{};
        ::GetClientRect(parts.hwndItem, &field);
        const LRESULT margins = ::SendMessageW(parts.hwndItem, EM_GETMARGINS, 0, 0);
        const int room = field.right - LOWORD(margins) - HIWORD(margins);
        for (std::string_view item : list.items)
            EXPECT_LT(extentIn(parts.hwndItem, toUtf16(item)).cx, room)
                << controlRow(list.combo).name << " cuts \"" << item << "\"";
    }
}

TEST_P(WindowAtDensity, TheListShowsALongEntryAndScrollsSidewaysForLonger)
{
    HWND list = window.control(Control::List1);
    RECT inside{};
    ::GetClientRect(list, &inside);
    const int bar = systemMetric(SM_CXVSCROLL, GetParam());
    const std::wstring expected = toUtf16(WidestExpectedListEntry);
    EXPECT_LT(extentIn(list, expected).cx, inside.right - bar);

    // Filled, then appended to: the list can be scrolled as far as its widest entry reaches.
    const std::string longer = "Panzergrenadier-Regiment Gro\xC3\x9F"
                               "deutschland, Kampfgruppe Adolf-G\xC3\xB6ring-Stra\xC3\x9F"
                               "e - Red";
    window.setListEntries({"1st Platoon - Blue", longer});
    const LRESULT filled = ::SendMessageW(list, LB_GETHORIZONTALEXTENT, 0, 0);
    EXPECT_GE(filled, extentIn(list, toUtf16(longer)).cx);
    const std::string longest = longer + longer;
    window.appendAndSelect(longest);
    EXPECT_GE(::SendMessageW(list, LB_GETHORIZONTALEXTENT, 0, 0), extentIn(list, toUtf16(longest)).cx);
    window.setListEntries({"1st Platoon - Blue"});
    EXPECT_LT(::SendMessageW(list, LB_GETHORIZONTALEXTENT, 0, 0), filled);
}

// The window is made with every control in its final place, and laid out afresh when its
// density changes: both ways end in the same window.
TEST(WindowAsFirstMade, HasEveryControlWhereALayoutForItsDensityPutsIt)
{
    BrevornBuildWindow window{::GetModuleHandleW(nullptr)};
    std::vector<RECT> made;
    for (const ControlRow& row : controlTable())
        made.push_back(placeOf(window.handle(), window.control(row.control)));
    RECT outer{};
    ::GetWindowRect(window.handle(), &outer);

    RECT suggested = outer;
    ::SendMessageW(window.handle(), WM_DPICHANGED, MAKEWPARAM(window.dpi(), window.dpi()),
                   reinterpret_cast<LPARAM>(&suggested));
    for (const ControlRow& row : controlTable())
        EXPECT_EQ(describe(made[std::size_t(row.control)]),
                  describe(placeOf(window.handle(), window.control(row.control))))
            << row.name;
    RECT laidOut{};
    ::GetWindowRect(window.handle(), &laidOut);
    EXPECT_EQ(describe(outer), describe(laidOut));
}

TEST(WindowAsFirstMade, TabWalksTheControlsInTheTablesOrder)
{
    BrevornBuildWindow window{::GetModuleHandleW(nullptr)};
    std::vector<std::string_view> expected;
    for (const ControlRow& row : controlTable())
        if (row.kind != ControlKind::Label)
            expected.push_back(row.name);
    std::vector<std::string_view> walked;
    HWND at = window.control(Control::List1);
    do {
        for (const ControlRow& row : controlTable())
            if (window.control(row.control) == at)
                walked.push_back(row.name);
        at = ::GetNextDlgTabItem(window.handle(), at, FALSE);
    } while (at && at != window.control(Control::List1) && walked.size() <= expected.size());
    EXPECT_EQ(walked, expected);
}

INSTANTIATE_TEST_SUITE_P(Densities, WindowAtDensity, testing::Values(96u, 120u, 144u, 192u),
                         [](const testing::TestParamInfo<UINT>& info) { return std::to_string(info.param) + "dpi"; });

} // namespace
} // namespace brevorn
