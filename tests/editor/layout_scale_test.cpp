// The layout scale against captions of known sizes.
#include "editor/layout_scale.h"

#include <gtest/gtest.h>

#include <cmath>
#include <map>

namespace brevorn {
namespace {

TEST(LayoutScale, GrowsOnlyAsFarAsTheTightestCaptionNeeds)
{
    struct Case
    {
        std::map<std::string_view, QSize> needs; // any other caption needs 10 x 10 pixels
        double want;
    };
    const Case cases[] = {
        {{}, 1.0},
        {{{"Label2", QSize(57, 17)}}, 1.0}, // exactly as large as the label
        // 96 of Label4's 105 pixels lie before Combo2, and Combo4 covers one more at its left.
        {{{"Label4", QSize(118, 12)}}, 118.0 / 95},
        {{{"Command4", QSize(40, 23)}}, 23.0 / 17},
        {{{"Label18", QSize(60, 12)}, {"Command5", QSize(60, 12)}}, 60.0 / 48},
    };
    for (const Case& c : cases) {
        const double scale = layoutScale(controlTable(), [&](const ControlRow& control) {
            return c.needs.contains(control.name) ? c.needs.at(control.name) : QSize(10, 10);
        });
        // Rounding edges to whole pixels may cost a little more than the plain ratio.
        EXPECT_GE(scale, c.want);
        EXPECT_LT(scale, c.want + 0.02);
    }
    // At the plain ratio 55 / 48, Label18's rounded edges lie 54 pixels apart: the scale creeps on.
    const double scale = layoutScale(controlTable(), [](const ControlRow& control) {
        return control.name == "Label18" ? QSize(55, 12) : QSize(10, 10);
    });
    EXPECT_EQ(std::lround(3240 * scale / 15) - std::lround(2520 * scale / 15), 55);
}

TEST(LayoutScale, LabelsLoseOnlyThePartUnderAControl)
{
    const std::tuple<std::string_view, int, int> cases[] = {
        {"Label2", 3120, 3975}, {"Label4", 5175, 6600},  {"Label5", 5280, 6600},
        {"Label6", 3120, 4080}, {"Label15", 3120, 4560}, {"Label18", 2520, 3240},
    };
    for (const auto& [label, start, end] : cases) {
        const TwipsSpan span = uncoveredSpan(controlTable(), *findControl(label));
        EXPECT_EQ(std::pair(span.start, span.end), std::pair(start, end)) << label;
    }
}

} // namespace
} // namespace brevorn
