// The layout scale against captions and list entries of known sizes. (The combos' items are
// measured with real fonts by the Windows window's tests.)
#include "layout_scale.h"

#include <gtest/gtest.h>

#include <map>

namespace brevorn {
namespace {

// Captions that need these sizes; any caption not named needs 10 x 10 pixels.
TextMeasure needing(std::map<Control, PixelSize> needs)
{
    return [needs](const ControlRow& row, std::string_view) {
        return needs.contains(row.control) ? needs.at(row.control) : PixelSize{10, 10};
    };
}

TEST(LayoutScale, GrowsOnlyAsFarAsTheTightestCaptionNeeds)
{
    struct Case
    {
        std::map<Control, PixelSize> needs;
        double want;
        double density = 1.0;
    };
    const Case cases[] = {
        {{}, 1.0},
        {{{Control::Label2, {57, 17}}}, 1.0}, // exactly as large as the label
        // 96 of Label4's 105 pixels lie before Combo2, and Combo4 covers one more at its left.
        {{{Control::Label4, {118, 12}}}, 118.0 / 95},
        {{{Control::Command4, {40, 23}}}, 23.0 / 17},
        {{{Control::Label18, {60, 12}}, {Control::Command5, {60, 12}}}, 60.0 / 48},
        // On a denser screen the floor is the density; a caption that needs more still wins.
        {{{Control::Label4, {190, 12}}}, 190.0 / 95, 1.5},
    };
    for (const auto& [needs, want, density] : cases) {
        const double scale = layoutScale(controlTable(), needing(needs), density);
        // Rounding edges to whole pixels may cost a little more than the plain ratio.
        EXPECT_GE(scale, want);
        EXPECT_LT(scale, want + 0.02);
    }
    EXPECT_EQ(layoutScale(controlTable(), needing({}), 1.5), 1.5);
    // At the plain ratio 55 / 48, Label18's rounded edges lie 54 pixels apart: the scale creeps on.
    const double scale = layoutScale(controlTable(), needing({{Control::Label18, {55, 12}}}));
    EXPECT_EQ(scaledPixels(3240, scale) - scaledPixels(2520, scale), 55);
    // Label4 starts under Combo4, whose right edge is one pixel past the label's left edge.
    EXPECT_EQ(captionIndent(controlTable(), controlRow(Control::Label4), 1.0), 1);
}

TEST(LayoutScale, WidensTheListForALongEntry)
{
    // At eight pixels a byte, the list's expected entry needs more than its 177 pixels.
    const double scale = layoutScale(controlTable(), [](const ControlRow& row, std::string_view text) {
        return PixelSize{row.kind == ControlKind::ListBox ? 8 * int(text.size()) : 1, 1};
    });
    const int entry = int(8 * WidestExpectedListEntry.size());
    ASSERT_GT(entry, 177);
    EXPECT_EQ(scaledRect(controlRow(Control::List1), scale).width, entry);
}

} // namespace
} // namespace brevorn
