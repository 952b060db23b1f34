// Working the answer sheet by keyboard and mouse: tab order and first focus,
// radio groups, check lists, access keys, and the keys that must not send.
#include "behaviour.h"
#include "tests/support/questionnaires.h"

using namespace mirunea;
using namespace mirunea::test;

namespace {

const Lines& kQuestionnaire = mirunea::test::kAccessKeyQuestionnaire;

Lines withoutNamePrompt(Lines lines)
{
    lines.at(2).clear();
    return lines;
}

// Tab from the name field through n controls, then Shift+Tab back.
void checkTabOrder(WindowDriver& driver, const std::vector<std::string>& order)
{
    clickOn(driver, "Ename");
    REQUIRE(driver.focused() == "Ename");
    std::vector<std::string> forward{driver.focused()};
    for (std::size_t i = 0; i < order.size(); ++i) {
        driver.press(Key::Tab);
        forward.push_back(driver.focused());
    }
    std::vector<std::string> expected = order;
    expected.push_back(order.front());
    CHECK(forward == expected);

    std::vector<std::string> backward{driver.focused()};
    for (std::size_t i = 0; i < order.size(); ++i) {
        driver.press(Key::Tab, Shift);
        backward.insert(backward.begin(), driver.focused());
    }
    CHECK(backward == expected);
}

} // namespace

TEST_CASE("Tab visits the answer controls in order and wraps, Shift+Tab goes back")
{
    // Radio groups without a selection take no part; a selected item is the
    // group's only tab stop; the send button sits between panels 5 and 6.
    for (const int item : {0, 2, 3}) {
        CAPTURE(item);
        OpenSheet sheet(kQuestionnaire);
        REQUIRE(sheet.readyWithoutBox());
        std::vector<std::string> order{"Ename", "Edit1", "CheckListBox2", "Edit5", "Button1", "CheckListBox6", "Edit7"};
        if (item > 0) {
            clickOn(*sheet, "RadioGroup4/" + std::to_string(item));
            REQUIRE(selectedItem(*sheet, 4) == item);
            order.insert(order.begin() + 3, "RadioGroup4/" + std::to_string(item));
        }
        checkTabOrder(*sheet, order);
        // Tabbing selects nothing.
        CHECK(selectedItem(*sheet, 3) == 0);
        CHECK(selectedItem(*sheet, 4) == item);
    }
}

TEST_CASE("the first focus goes to the first control that takes it")
{
    struct Case
    {
        const char* what;
        Lines questionnaire;
        const char* focus;
    };
    const Case cases[] = {
        {"name field shown", kQuestionnaire, "Ename"},
        {"no name field", withoutNamePrompt(kQuestionnaire), "Edit1"},
        {"no name field, radio question first", {"t", "d", "", "[R]r", "a", "b", "", "[C]c", "x"}, "CheckListBox2"},
        {"radio questions only", {"t", "d", "", "[R]r", "a", "", "[R]s", "b"}, "Button1"},
    };
    for (const Case& c : cases) {
        CAPTURE(std::string(c.what));
        OpenSheet sheet(c.questionnaire);
        REQUIRE(sheet.readyWithoutBox());
        CHECK(waitUntil(*sheet, [&] { return sheet->focused() == c.focus; }));
        CHECK(sheet->focused() == c.focus);
        // Taking the first focus selects nothing.
        CHECK(selectedItem(*sheet, 1) == 0);
    }
}

TEST_CASE("arrows move the selection around a radio group, wrapping")
{
    struct Case
    {
        int from;
        Key key;
        int to;
    };
    const Case cases[] = {
        {1, Key::Down, 2}, {2, Key::Right, 3}, {3, Key::Down, 1}, {3, Key::Right, 1},
        {3, Key::Up, 2},   {2, Key::Left, 1},  {1, Key::Up, 3},   {1, Key::Left, 3},
    };
    for (const Case& c : cases) {
        CAPTURE(c.from);
        CAPTURE(static_cast<int>(c.key));
        OpenSheet sheet(kQuestionnaire);
        REQUIRE(sheet.readyWithoutBox());
        clickOn(*sheet, "RadioGroup4/" + std::to_string(c.from));
        REQUIRE(sheet->focused() == "RadioGroup4/" + std::to_string(c.from));
        sheet->press(c.key);
        CHECK(sheet->focused() == "RadioGroup4/" + std::to_string(c.to));
        CHECK(selectedItem(*sheet, 4) == c.to);
    }
}

TEST_CASE("the item an arrow reached is the group's only tab stop, from either side")
{
    OpenSheet sheet(kQuestionnaire);
    REQUIRE(sheet.readyWithoutBox());
    clickOn(*sheet, "RadioGroup4/1");
    sheet->press(Key::Down);
    CHECK(sheet->focused() == "RadioGroup4/2");
    sheet->press(Key::Tab);
    CHECK(sheet->focused() == "Edit5");
    sheet->press(Key::Tab, Shift);
    CHECK(sheet->focused() == "RadioGroup4/2");
    sheet->press(Key::Tab, Shift);
    CHECK(sheet->focused() == "CheckListBox2");
    sheet->press(Key::Tab);
    CHECK(sheet->focused() == "RadioGroup4/2");
}

TEST_CASE("a click on a radio item's text selects it and clears the others")
{
    OpenSheet sheet(kQuestionnaire);
    REQUIRE(sheet.readyWithoutBox());
    // On the text's right part, away from the circle.
    const Rect second = sheet->placeInClient("RadioGroup3/2");
    sheet->click({second.right() - 3, second.top + second.height / 2});
    CHECK(selectedItem(*sheet, 3) == 2);
    CHECK(sheet->focused() == "RadioGroup3/2");
    clickOn(*sheet, "RadioGroup3/3");
    CHECK(selectedItem(*sheet, 3) == 3);
    // Beside the items, inside the group: nothing changes.
    const Rect group = sheet->placeInClient("RadioGroup3");
    sheet->click({group.right() - 10, group.top + group.height / 2});
    CHECK(selectedItem(*sheet, 3) == 3);
}

TEST_CASE("a radio group reached by its panel's access key without a selection leaves no tab stop behind")
{
    OpenSheet sheet(kQuestionnaire);
    REQUIRE(sheet.readyWithoutBox());
    sheet->pressLetter('C', Alt);
    CHECK(waitUntil(*sheet, [&] { return sheet->focused() == "RadioGroup3"; }));
    sheet->press(Key::Tab);
    CHECK(sheet->focused() == "Edit5");
    sheet->press(Key::Tab, Shift);
    CHECK(sheet->focused() == "CheckListBox2");
    CHECK(selectedItem(*sheet, 3) == 0);

    // From the group itself, Down selects the first item.
    sheet->pressLetter('C', Alt);
    CHECK(waitUntil(*sheet, [&] { return sheet->focused() == "RadioGroup3"; }));
    sheet->press(Key::Down);
    CHECK(selectedItem(*sheet, 3) == 1);
    CHECK(sheet->focused() == "RadioGroup3/1");
    // And Up selects the last.
    sheet->pressLetter('E', Alt);
    CHECK(waitUntil(*sheet, [&] { return sheet->focused() == "RadioGroup4"; }));
    sheet->press(Key::Up);
    CHECK(selectedItem(*sheet, 4) == 3);
    CHECK(sheet->focused() == "RadioGroup4/3");
}

TEST_CASE("a check-list item toggles between two states by Space and by a click on its box")
{
    for (const bool byMouse : {false, true}) {
        CAPTURE(byMouse);
        OpenSheet sheet(kQuestionnaire);
        REQUIRE(sheet.readyWithoutBox());
        // A click on the second row's text makes it current, and ticks nothing.
        const Point box = sheet->checkBoxOf("CheckListBox2", 2);
        sheet->click({box.x + 100, box.y});
        REQUIRE(sheet->focused() == "CheckListBox2");
        REQUIRE(ticks(*sheet, 2) == "000");

        std::vector<std::string> states;
        for (int i = 0; i < 3; ++i) {
            if (byMouse)
                sheet->click(box);
            else
                sheet->press(Key::Space);
            states.push_back(ticks(*sheet, 2));
        }
        CHECK(states == std::vector<std::string>{"010", "000", "010"});
    }
}

TEST_CASE("check-list items show their text as typed, one line of the font high")
{
    OpenSheet sheet(kQuestionnaire);
    REQUIRE(sheet.readyWithoutBox());
    CHECK(sheet->itemTexts("CheckListBox2") == std::vector<std::string>{"A&B", "パン", "ごはん"});
    // Alt+B is panel 2's key, not the first item's: the list takes the focus, no item is ticked.
    sheet->pressLetter('B', Alt);
    CHECK(waitUntil(*sheet, [&] { return sheet->focused() == "CheckListBox2"; }));
    CHECK(ticks(*sheet, 2) == "000");
    // One text line of the 15 px font: 15 px, or the 16 px a toolkit rounds the face's line to.
    for (int row = 1; row < 3; ++row) {
        const int height = sheet->checkBoxOf("CheckListBox2", row + 1).y - sheet->checkBoxOf("CheckListBox2", row).y;
        CAPTURE(row);
        CHECK(height >= 15);
        CHECK(height <= 16);
    }
}

TEST_CASE("access keys move the focus into panels and select radio items; labels' keys do nothing")
{
    struct Case
    {
        const char* what;
        int clickedItemOfGroup4; // 0: nothing selected
        char key;
        const char* focus;
        int selectedInGroup3;
    };
    const Case cases[] = {
        {"edit panel", 0, 'A', "Edit1", 0},
        {"check-list panel", 0, 'B', "CheckListBox2", 0},
        {"radio panel without selection: the group, nothing selected", 0, 'C', "RadioGroup3", 0},
        {"radio panel with selection: the selected item", 2, 'E', "RadioGroup4/2", 0},
        {"edit panel in the right column", 0, 'F', "Edit5", 0},
        {"radio item selects it", 0, 'K', "RadioGroup3/2", 2},
        {"another radio item", 0, 'U', "RadioGroup3/3", 3},
        {"title label does nothing", 0, 'L', "Ename", 0},
        {"description label does nothing", 0, 'D', "Ename", 0},
        {"name prompt label does nothing", 0, 'N', "Ename", 0},
    };
    for (const Case& c : cases) {
        CAPTURE(std::string(c.what));
        OpenSheet sheet(kQuestionnaire);
        REQUIRE(sheet.readyWithoutBox());
        if (c.clickedItemOfGroup4 > 0)
            clickOn(*sheet, "RadioGroup4/" + std::to_string(c.clickedItemOfGroup4));
        clickOn(*sheet, "Ename");
        REQUIRE(sheet->focused() == "Ename");

        sheet->pressLetter(c.key, Alt);
        CHECK(waitUntil(*sheet, [&] { return sheet->focused() == c.focus; }));
        CHECK(sheet->focused() == c.focus);
        CHECK(waitUntil(*sheet, [&] { return selectedItem(*sheet, 3) == c.selectedInGroup3; }));
        CHECK(selectedItem(*sheet, 4) == c.clickedItemOfGroup4);
        // Access keys type nothing into the name field.
        CHECK(sheet->shownText("Ename").empty());
    }
}

TEST_CASE("a double ampersand shows one ampersand and marks no key")
{
    OpenSheet sheet(Lines{"A&&B", "", "", "[R]C&&D(&H)", "E&&F", "[T]", ""});
    REQUIRE(sheet.readyWithoutBox());
    CHECK(sheet->shownText("Label1") == "A&B");
    CHECK(sheet->shownText("GroupBox1") == "C&D(H)");
    CHECK(sheet->itemTexts("RadioGroup1") == std::vector<std::string>{"E&F"});
    // Alt+B, Alt+D and Alt+F reach nothing, while "&H" still works.
    for (char key : {'B', 'D', 'F'})
        sheet->pressLetter(key, Alt);
    CHECK(selectedItem(*sheet, 1) == 0);
    sheet->pressLetter('H', Alt);
    CHECK(waitUntil(*sheet, [&] { return sheet->focused() == "RadioGroup1"; }));
}

TEST_CASE("only an unmodified Enter on the focused send button sends; Escape does nothing")
{
    struct Case
    {
        const char* focus; // "RadioGroup4/1" is clicked first
        Key key;
        Modifiers modifiers;
        bool sends;
    };
    const Case cases[] = {
        {"Ename", Key::Return, NoModifier, false},
        {"Ename", Key::KeypadEnter, NoModifier, false},
        {"Edit1", Key::Return, NoModifier, false},
        {"CheckListBox2", Key::Return, NoModifier, false},
        {"RadioGroup4/1", Key::Return, NoModifier, false},
        {"Ename", Key::Escape, NoModifier, false},
        {"Edit1", Key::Escape, NoModifier, false},
        {"CheckListBox2", Key::Escape, NoModifier, false},
        {"Button1", Key::Escape, NoModifier, false},
        {"Button1", Key::Return, Shift, false},
        {"Button1", Key::Return, Ctrl, false},
        {"Button1", Key::Return, Alt, false},
        {"Button1", Key::Return, NoModifier, true},
        {"Button1", Key::KeypadEnter, NoModifier, true},
    };
    for (const Case& c : cases) {
        CAPTURE(std::string(c.focus));
        CAPTURE(static_cast<int>(c.key));
        CAPTURE(c.modifiers);
        OpenSheet sheet(kQuestionnaire);
        REQUIRE(sheet.readyWithoutBox());
        clickOn(*sheet, "RadioGroup4/1");
        const std::string focus = c.focus;
        if (focus == "Button1") {
            // Reached by keys: a click would press it.
            clickOn(*sheet, "Edit5");
            sheet->press(Key::Tab);
        } else if (focus != "RadioGroup4/1") {
            clickOn(*sheet, focus);
        }
        REQUIRE(sheet->focused() == focus);

        sheet->press(c.key, c.modifiers);
        sheet->processEvents();

        CHECK(sheet.folder.hasAnswerFile() == c.sends);
        CHECK(sheet->seenBoxes().size() == (c.sends ? 1u : 0u));
        if (c.sends && !sheet->seenBoxes().empty())
            CHECK(sheet->seenBoxes().front().text == "送信しました");
        // Nothing closes the window either, or changes the answers.
        CHECK(sheet->isVisible("Button1"));
        CHECK(selectedItem(*sheet, 4) == 1);
        CHECK(sheet->shownText("Ename").empty());
    }
}

TEST_CASE("an access key shared by several controls reaches them in tab order from the focus, round and round")
{
    OpenSheet sheet(Lines{"t", "d", "n", "[T]一(&A)", "[R]二(&A)", "x", "y", "", "[C]三", "&A", "", "[R]四", "p(&a)",
                          "q", "", "[T]五(&A)"});
    REQUIRE(sheet.readyWithoutBox());
    clickOn(*sheet, "Ename");
    std::vector<std::string> reached;
    for (int i = 0; i < 5; ++i) {
        sheet->pressLetter('A', Alt);
        sheet->processEvents();
        reached.push_back(sheet->focused());
    }
    // The check list's item shows its "&" and has no key; a lower-case mark counts as upper-case.
    CHECK(reached == std::vector<std::string>{"Edit1", "RadioGroup2", "RadioGroup4/1", "Edit5", "Edit1"});
    CHECK(selectedItem(*sheet, 2) == 0);
    CHECK(selectedItem(*sheet, 4) == 1);
    CHECK(ticks(*sheet, 3) == "0");

    // From a control further on, the next one after it.
    clickOn(*sheet, "CheckListBox3");
    sheet->pressLetter('A', Alt);
    CHECK(waitUntil(*sheet, [&] { return sheet->focused() == "RadioGroup4/1"; }));
}
