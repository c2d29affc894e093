// The layout scale against captions of known sizes.
#include "editor/layout_scale.h"

#include <gtest/gtest.h>

#include <cmath>
#include <map>

namespace brevorn {
namespace {

TEST(LayoutScale, GrowsOnlyAsFarAsTheTightestCaptionNeeds)
{
    // Any caption not named needs 10 x 10 pixels.
    const std::pair<std::map<std::string_view, QSize>, double> cases[] = {
        {{}, 1.0},
        {{{"Label2", QSize(57, 17)}}, 1.0}, // exactly as large as the label
        // 96 of Label4's 105 pixels lie before Combo2, and Combo4 covers one more at its left.
        {{{"Label4", QSize(118, 12)}}, 118.0 / 95},
        {{{"Command4", QSize(40, 23)}}, 23.0 / 17},
        {{{"Label18", QSize(60, 12)}, {"Command5", QSize(60, 12)}}, 60.0 / 48},
    };
    for (const auto& [needs, want] : cases) {
        const double scale = layoutScale(controlTable(), [&](const ControlRow& control) {
            return needs.contains(control.name) ? needs.at(control.name) : QSize(10, 10);
        });
        // Rounding edges to whole pixels may cost a little more than the plain ratio.
        EXPECT_GE(scale, want);
        EXPECT_LT(scale, want + 0.02);
    }
    // At the plain ratio 55 / 48, Label18's rounded edges lie 54 pixels apart: the scale creeps on.
    const double scale =
        layoutScale(controlTable(), [](const ControlRow& c) { return QSize(c.name == "Label18" ? 55 : 10, 12); });
    EXPECT_EQ(std::lround(3240 * scale / 15) - std::lround(2520 * scale / 15), 55);
}

} // namespace
} // namespace brevorn
