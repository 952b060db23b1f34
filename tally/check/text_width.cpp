#include "tally/check/text_width.h"

#include "app/toolkit/window_rules.h"
#include "sheet/form1_layout.h"

#include <algorithm>
#include <climits>
#include <stdexcept>
#include <string>
#include <vector>

namespace mirunea::tally {

namespace {

// The radio circle or the check box and the gap before the text, as both
// toolkits draw them at 96 dots per inch (13 px and a few px around it).
constexpr int kIndicatorPixels = 20;
// A list box's sunken frame, both sides.
constexpr int kListFramePixels = 4;

[[nodiscard]] const toolkit::ControlSpec& control(const std::vector<toolkit::ControlSpec>& designs,
                                                  const std::string& name)
{
    const auto found = std::find_if(designs.begin(), designs.end(),
                                    [&](const toolkit::ControlSpec& design) { return design.name == name; });
    if (found == designs.end())
        throw std::logic_error("no control " + name + " in the layout");
    return *found;
}

[[nodiscard]] bool isHalfWidth(char32_t c)
{
    return c < 0x80 || (c >= 0xFF61 && c <= 0xFF9F);
}

} // namespace

PanelRoom panelRoom()
{
    const std::vector<toolkit::ControlSpec> designs = form1Controls();
    // Every panel is laid out alike: the first stands for all.
    const toolkit::ControlSpec& panel = control(designs, "GroupBox1");
    const toolkit::ControlSpec& hint = control(designs, "Lbl1");
    const toolkit::ControlSpec& radio = control(designs, "RadioGroup1");
    const toolkit::ControlSpec& checkList = control(designs, "CheckListBox1");
    // The caption keeps the panel's inner margin (where the hint label
    // starts) on both sides; a radio item is as wide as the group's rules let it.
    const auto radioPlaces = toolkit::rules::radioItemPlaces(radio.width, radio.height, {INT_MAX});
    return PanelRoom{
        .fontPixels = panel.fontPixels,
        .captionPixels = panel.width - 2 * hint.left,
        .radioItemPixels = radioPlaces.front().width - kIndicatorPixels,
        .checkListItemPixels = checkList.width - kListFramePixels - kIndicatorPixels,
    };
}

int estimatedWidth(std::u32string_view text, int fontPixels)
{
    int halves = 0;
    for (const char32_t c : text)
        halves += isHalfWidth(c) ? 1 : 2;
    return (halves * fontPixels + 1) / 2;
}

int fullWidthCharactersIn(int pixels, int fontPixels)
{
    return fontPixels > 0 ? pixels / fontPixels : 0;
}

} // namespace mirunea::tally
