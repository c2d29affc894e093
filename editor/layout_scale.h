// Turning the twips of the control table into pixels at one scale for the whole window.
#pragma once

#include "window_layout.h"

#include <functional>
#include <span>
#include <string_view>
#include <vector>

namespace brevorn {

// Sizes and rectangles in the front end's logical pixels.
struct PixelSize
{
    int width = 0;
    int height = 0;
};

struct PixelRect
{
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;

    bool operator==(const PixelRect&) const = default;
};

// Pixels of a twips position at the given scale. Edges are rounded, not sizes, so
// controls that meet in twips still meet in pixels.
int scaledPixels(int twips, double scale);

// The control's rectangle in logical pixels at the given scale.
PixelRect scaledRect(const ControlRow& control, double scale);

// The horizontal stretch of a label, in twips, that no other control covers: it starts
// after a control reaching over its left edge and ends where the next control that
// overlaps it vertically begins. For other kinds, the whole width.
struct TwipsSpan
{
    int start;
    int end;
};
TwipsSpan uncoveredSpan(std::span<const ControlRow> table, const ControlRow& control);

// How many pixels a label's caption has to start right of the label's left edge, so that
// no control reaching over that edge hides its beginning; 0 for other kinds.
int captionIndent(std::span<const ControlRow> table, const ControlRow& control, double scale);

// The widest entry the unit list is sized for: a long unit name from the rosters the
// program is tried with and the usual side. A longer entry scrolls the list sideways.
inline constexpr std::string_view WidestExpectedListEntry = "Kampfgruppe M\xC3\xBCller - Blue";

// The texts a control has to show in full: a label's or a button's caption, every item a
// combo offers and its initial text, the widest expected entry of the unit list. None for a
// text box, whose text scrolls.
std::vector<std::string_view> textsToShow(const ControlRow& control);

// The pixel size the control needs to show this one text in full with the font in use,
// its frame, margins and drop-down button included.
using TextMeasure = std::function<PixelSize(const ControlRow&, std::string_view text)>;

// The smallest scale of at least least at which every text of textsToShow fits its control
// (a label: the uncovered part of it). Positions, sizes and the window all take this one
// scale, so the proportions of the table stay as they are. A front end that works in
// physical pixels passes the screen's density as least (1.5 at 144 dots per inch), so that
// the window is never smaller than the table on that screen.
double layoutScale(std::span<const ControlRow> table, const TextMeasure& measure, double least = 1.0);

} // namespace brevorn
