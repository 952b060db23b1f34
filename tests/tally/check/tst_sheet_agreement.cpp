// The check's picture of the sheet held to the sheet itself: the room it
// estimates from the window's layout table and the window rules, and what a
// caption with "&" shows.
#include "tally/check/caption_text.h"
#include "tally/check/text_width.h"

#include "app/toolkit/window_rules.h"
#include "sheet/form1_layout.h"

#include <doctest/doctest.h>

#include <algorithm>
#include <random>
#include <stdexcept>
#include <string>
#include <vector>

using namespace mirunea;
using namespace mirunea::tally;

namespace {

const toolkit::ControlSpec& design(const std::string& name)
{
    static const std::vector<toolkit::ControlSpec> designs = form1Controls();
    const auto found = std::find_if(designs.begin(), designs.end(),
                                    [&](const toolkit::ControlSpec& control) { return control.name == name; });
    if (found == designs.end())
        throw std::logic_error("no control " + name);
    return *found;
}

} // namespace

TEST_CASE("the room for a question's texts is that of every panel of the layout")
{
    const PanelRoom room = panelRoom();
    for (int q = 1; q <= 10; ++q) {
        const std::string n = std::to_string(q);
        CAPTURE(n);
        const toolkit::ControlSpec& panel = design("GroupBox" + n);
        const toolkit::ControlSpec& radio = design("RadioGroup" + n);
        const toolkit::ControlSpec& checkList = design("CheckListBox" + n);
        CHECK(panel.fontPixels == room.fontPixels);
        CHECK(radio.fontPixels == room.fontPixels);
        CHECK(checkList.fontPixels == room.fontPixels);
        CHECK(room.captionPixels == panel.width - 2 * design("Lbl" + n).left);
        // A radio item of the widest text that fits is placed whole; one pixel more is cut.
        const int widest = radioItemWidth(room.radioItemPixels);
        CHECK(toolkit::rules::radioItemPlaces(radio.width, radio.height, {widest}).front().width == widest);
        CHECK(toolkit::rules::radioItemPlaces(radio.width, radio.height, {widest + 1}).front().width == widest);
        // The check list's text room lies inside the box.
        CHECK(room.checkListItemPixels < checkList.width);
        CHECK(room.checkListItemPixels > checkList.width - 2 * room.fontPixels);
    }
}

TEST_CASE("a caption shows what the window rules make of its ampersands")
{
    const std::u32string pieces[] = {U"&", U"&", U"a", U"あ", U"&&", U" "};
    std::mt19937 random(7);
    for (int n = 0; n < 2000; ++n) {
        std::u32string caption;
        const int length = static_cast<int>(random() % 7);
        for (int i = 0; i < length; ++i)
            caption += pieces[random() % std::size(pieces)];
        const std::u16string wide(caption.begin(), caption.end());
        const toolkit::rules::Caption parsed = toolkit::rules::parseCaption(wide);
        const std::u32string shown = shownCaption(caption);
        CHECK(std::u16string(shown.begin(), shown.end()) == parsed.shown);
        // An ampersand is lost unless every one of them was doubled.
        bool onlyDoubled = true;
        for (std::size_t i = 0; i < caption.size(); ++i) {
            if (caption[i] == U'&') {
                onlyDoubled = onlyDoubled && i + 1 < caption.size() && caption[i + 1] == U'&';
                ++i;
            }
        }
        CHECK(losesAnAmpersand(caption) == !onlyDoubled);
    }
}
