// Turning the twips of the control table into pixels at one scale for the whole window.
#pragma once

#include "window_layout.h"

#include <functional>
#include <span>

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

// The pixel size a control needs to show its caption in full with the font in use.
using CaptionMeasure = std::function<PixelSize(const ControlRow&)>;

// The smallest scale of at least least at which every label and button caption fits the
// uncovered part of its control. Positions, sizes and the window all take this one
// scale, so the proportions of the table stay as they are. A front end that works in
// physical pixels passes the screen's density as least (1.5 at 144 dots per inch), so that
// the window is never smaller than the table on that screen.
double layoutScale(std::span<const ControlRow> table, const CaptionMeasure& measure, double least = 1.0);

} // namespace brevorn
