// Texts cut by their control's width can be read: hovering one shows it
// whole as a tooltip; texts that fit show none.
#include "behaviour.h"

using namespace mirunea;
using namespace mirunea::test;

namespace {

// Forty full-width characters: wider than a panel's caption, a radio item
// and a check-list row at the 15 px font.
std::string longText(const std::string& start)
{
    std::string text = start;
    for (int i = 0; i < 39; ++i)
        text += "あ";
    return text;
}

} // namespace

TEST_CASE("a cut question text, radio choice or check-list choice shows whole on hover; texts that fit show none")
{
    const std::string question = longText("長");
    const std::string choice = longText("選");
    const std::string ticked = longText("&");
    OpenSheet sheet(Lines{"t", "d", "", "[R]" + question + "(&Q)", "short", choice, "", "[C]short question", "one",
                          ticked, "", "[T]text question"});
    REQUIRE(sheet.readyWithoutBox());

    // The caption's cut end, inside the panel's frame; its shown text
    // without the access-key mark.
    const Rect panel1 = sheet->placeInClient("GroupBox1");
    CHECK(sheet->toolTipAt({panel1.right() - 20, panel1.top + 5}) == question + "(Q)");
    CHECK(sheet->toolTipAt({panel1.left + 30, panel1.top + 5}) == question + "(Q)");
    // Inside the panel but off its caption: nothing of it.
    CHECK(sheet->toolTipAt({panel1.left + 4, panel1.bottom() - 4}) == "");
    const Rect panel2 = sheet->placeInClient("GroupBox2");
    CHECK(sheet->toolTipAt({panel2.left + 30, panel2.top + 5}) == "");

    CHECK(sheet->toolTipAt(centreOf(*sheet, "RadioGroup1/2")) == choice);
    CHECK(sheet->toolTipAt(centreOf(*sheet, "RadioGroup1/1")) == "");

    // A check-list row keeps its "&"; hovered over its text, right of the box.
    const Point cutRow = sheet->checkBoxOf("CheckListBox2", 2);
    CHECK(sheet->toolTipAt({cutRow.x + 150, cutRow.y}) == ticked);
    const Point shortRow = sheet->checkBoxOf("CheckListBox2", 1);
    CHECK(sheet->toolTipAt({shortRow.x + 150, shortRow.y}) == "");
    // An edit shows no tip of its own.
    CHECK(sheet->toolTipAt(centreOf(*sheet, "Edit3")) == "");
}
