// The layout scale: the control table was drawn for a narrow font, so the whole window
// grows until the font in use fits every caption and every value a combo offers, the way
// dialog units follow the font.
#include "layout_scale.h"

#include "choice_lists.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace brevorn {

namespace {

bool overlapsVertically(const ControlRow& a, const ControlRow& b)
{
    return a.top < b.top + b.height && b.top < a.top + a.height;
}

double pixelsAtOne(int twips)
{
    return double(twips) / TwipsPerPixel;
}

bool fitsAt(std::span<const ControlRow> table, const ControlRow& control, PixelSize need, double scale)
{
    const TwipsSpan span = uncoveredSpan(table, control);
    const int width = scaledPixels(span.end, scale) - scaledPixels(span.start, scale);
    const int height = scaledPixels(control.top + control.height, scale) - scaledPixels(control.top, scale);
    return need.width <= width && need.height <= height;
}

} // namespace

int scaledPixels(int twips, double scale)
{
    return int(std::lround(pixelsAtOne(twips) * scale));
}

PixelRect scaledRect(const ControlRow& control, double scale)
{
    const int left = scaledPixels(control.left, scale);
    const int top = scaledPixels(control.top, scale);
    return {left, top, scaledPixels(control.left + control.width, scale) - left,
            scaledPixels(control.top + control.height, scale) - top};
}

TwipsSpan uncoveredSpan(std::span<const ControlRow> table, const ControlRow& control)
{
    TwipsSpan span{control.left, control.left + control.width};
    if (control.kind != ControlKind::Label)
        return span;
    // Every other kind of control is drawn over a label.
    for (const ControlRow& other : table) {
        if (other.kind == ControlKind::Label || !overlapsVertically(control, other))
            continue;
        const int otherEnd = other.left + other.width;
        if (other.left > control.left)
            span.end = std::min(span.end, other.left);
        else if (otherEnd > control.left)
            span.start = std::max(span.start, otherEnd);
    }
    span.end = std::max(span.end, span.start);
    return span;
}

int captionIndent(std::span<const ControlRow> table, const ControlRow& control, double scale)
{
    return std::max(0, scaledPixels(uncoveredSpan(table, control).start, scale) - scaledPixels(control.left, scale));
}

std::vector<std::string_view> textsToShow(const ControlRow& control)
{
    std::vector<std::string_view> texts;
    if (!control.caption.empty())
        texts.push_back(control.caption);
    if (control.kind == ControlKind::ComboBox) {
        for (const ChoiceList& list : choiceLists())
            if (list.combo == control.control)
                texts.insert(texts.end(), list.items.begin(), list.items.end());
    } else if (control.kind == ControlKind::ListBox) {
        texts.push_back(WidestExpectedListEntry);
    } else if (control.kind == ControlKind::TextBox) {
        texts.clear();
    }
    return texts;
}

double layoutScale(std::span<const ControlRow> table, const TextMeasure& measure, double least)
{
    struct Need
    {
        const ControlRow* control;
        PixelSize size;
    };
    std::vector<Need> needs;
    double scale = least;
    for (const ControlRow& control : table) {
        // Only the widest and the tallest text of a control can set its need.
        std::vector<std::string_view> texts = textsToShow(control);
        if (texts.empty())
            continue;
        PixelSize size;
        for (std::string_view text : texts) {
            const PixelSize one = measure(control, text);
            size = {std::max(size.width, one.width), std::max(size.height, one.height)};
        }
        needs.push_back({&control, size});
        // Without rounding, this scale would just fit the caption.
        const TwipsSpan span = uncoveredSpan(table, control);
        if (span.end > span.start)
            scale = std::max(scale, size.width / pixelsAtOne(span.end - span.start));
        scale = std::max(scale, size.height / pixelsAtOne(control.height));
    }
    // Rounding the edges to whole pixels can lose up to a pixel; creep up until it does not.
    constexpr double step = 1.0 / 1024;
    constexpr double largest = 16.0;
    auto allFit = [&](double s) {
        return std::ranges::all_of(needs, [&](const Need& n) { return fitsAt(table, *n.control, n.size, s); });
    };
    while (!allFit(scale) && scale < largest)
        scale += step;
    return scale;
}

} // namespace brevorn
