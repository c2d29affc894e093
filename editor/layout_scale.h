// Turning the twips of the control table into pixels at one scale for the whole window.
#pragma once

#include "window_layout.h"

#include <QRect>
#include <QSize>

#include <functional>
#include <span>

namespace brevorn {

// Pixels of a twips position at the given scale. Edges are rounded, not sizes, so
// controls that meet in twips still meet in pixels.
int scaledPixels(int twips, double scale);

// The control's rectangle in logical pixels at the given scale.
QRect scaledRect(const ControlRow& control, double scale);

// The horizontal stretch of a label, in twips, that no other control covers: it starts
// after a control reaching over its left edge and ends where the next control that
// overlaps it vertically begins. For other kinds, the whole width.
struct TwipsSpan
{
    int start;
    int end;
};
TwipsSpan uncoveredSpan(std::span<const ControlRow> table, const ControlRow& control);

// The pixel size a control needs to show its caption in full with the font in use.
using CaptionMeasure = std::function<QSize(const ControlRow&)>;

// The smallest scale of at least 1 at which every label and button caption fits the
// uncovered part of its control. Positions, sizes and the window all take this one
// scale, so the proportions of the table stay as they are.
double layoutScale(std::span<const ControlRow> table, const CaptionMeasure& measure);

} // namespace brevorn
