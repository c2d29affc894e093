// The layout scale against captions of known sizes, and the names the table gives controls.
#include "layout_scale.h"

#include <gtest/gtest.h>

#include <map>
#include <vector>

namespace brevorn {
namespace {

TEST(LayoutScale, GrowsOnlyAsFarAsTheTightestCaptionNeeds)
{
    struct Case
    {
        std::map<Control, PixelSize> needs; // any caption not named needs 10 x 10 pixels
        double want;
    };
    const Case cases[] = {
        {{}, 1.0},
        {{{Control::Label2, {57, 17}}}, 1.0}, // exactly as large as the label
        // 96 of Label4's 105 pixels lie before Combo2, and Combo4 covers one more at its left.
        {{{Control::Label4, {118, 12}}}, 118.0 / 95},
        {{{Control::Command4, {40, 23}}}, 23.0 / 17},
        {{{Control::Label18, {60, 12}}, {Control::Command5, {60, 12}}}, 60.0 / 48},
    };
    for (const auto& [needs, want] : cases) {
        const double scale = layoutScale(controlTable(), [&](const ControlRow& row, std::string_view) {
            return needs.contains(row.control) ? needs.at(row.control) : PixelSize{10, 10};
        });
        // Rounding edges to whole pixels may cost a little more than the plain ratio.
        EXPECT_GE(scale, want);
        EXPECT_LT(scale, want + 0.02);
    }
    // At the plain ratio 55 / 48, Label18's rounded edges lie 54 pixels apart: the scale creeps on.
    const double scale = layoutScale(controlTable(), [](const ControlRow& row, std::string_view) {
        return PixelSize{row.control == Control::Label18 ? 55 : 10, 12};
    });
    EXPECT_EQ(scaledPixels(3240, scale) - scaledPixels(2520, scale), 55);
    // On a denser screen the floor is the density; a caption that needs more still wins.
    const auto label4Needs = [](double width) {
        return [width](const ControlRow& row, std::string_view) {
            return PixelSize{row.control == Control::Label4 ? int(width) : 10, 12};
        };
    };
    EXPECT_EQ(layoutScale(controlTable(), label4Needs(10), 1.5), 1.5);
    const double roomy = layoutScale(controlTable(), label4Needs(190), 1.5);
    EXPECT_GE(roomy, 190.0 / 95);
    EXPECT_LT(roomy, 190.0 / 95 + 0.02);
    // Label4 starts under Combo4, whose right edge is one pixel past the label's left edge.
    EXPECT_EQ(captionIndent(controlTable(), controlRow(Control::Label4), 1.0), 1);
}

TEST(LayoutScale, SizesEveryComboForItsWidestItemAndTheListForALongEntry)
{
    // At six pixels a character, "Northern European" (17) in Combo15's 89 pixels is the
    // tightest of the combos; the kind not measured needs nothing.
    const auto perCharacter = [](ControlKind measured, int pixels) {
        return [measured, pixels](const ControlRow& row, std::string_view text) {
            return PixelSize{row.kind == measured ? pixels * int(text.size()) : 1, 1};
        };
    };
    const double combos = layoutScale(controlTable(), perCharacter(ControlKind::ComboBox, 6));
    EXPECT_GE(combos, 102.0 / 89);
    EXPECT_LT(combos, 102.0 / 89 + 0.02);
    EXPECT_EQ(scaledRect(controlRow(Control::Combo15), combos).width, 102);

    // The list's expected entry, counted in bytes here, needs more than its 177 pixels.
    const double list = layoutScale(controlTable(), perCharacter(ControlKind::ListBox, 8));
    const int entry = int(8 * WidestExpectedListEntry.size());
    ASSERT_GT(entry, 177);
    EXPECT_EQ(scaledRect(controlRow(Control::List1), list).width, entry);

    // Text boxes scroll their text and are never measured; Combo12 shows its "OK" among its items.
    EXPECT_TRUE(textsToShow(controlRow(Control::Text1)).empty());
    const std::vector<std::string_view> status = textsToShow(controlRow(Control::Combo12));
    EXPECT_EQ(status, (std::vector<std::string_view>{"OK", "OK", "Disordered", "Captured", "Destroyed"}));
}

} // namespace
} // namespace brevorn
